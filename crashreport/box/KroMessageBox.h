#pragma once

#include "KroXWindow.h"

#include <string_view>

enum class TKroMessageIcon { Information, Error };

// A message with an OK button, as the report actions show them ("The mail was sent successfully."). Over an owner
// (the exception box) it is modal: it shares the owner's connection, whose loop keeps the owner drawn and its
// clipboard served, and the owner takes no input until it closes. Without an owner it opens a connection of its
// own; without any display the caption and text go to standard output. Enter, Space, Escape and the window's close
// all dismiss it.
void ShowKroMessageBox(TKroXWindow* Owner, std::string_view Caption, std::string_view Text, TKroMessageIcon Icon);
