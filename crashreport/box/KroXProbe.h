#pragma once

// Whether the X server that DisplayName names (the DISPLAY form "[host]:number[.screen]") answers a connection set-up
// within TimeoutMs. XOpenDisplay itself waits without limit on a server that accepts the connection and never answers
// (a stopped server, a dead forwarding tunnel), and the reporter must never hang: it asks first, with its own socket.
// A name whose host would need the name service (which may load libraries) is not probed and counts as answering.
bool XServerAnswers(const char* DisplayName, int TimeoutMs) noexcept;
