#pragma once

// How many of the threads that crashtest_early's constructor starts stand by: 2 for the modes that look for them
// (three-faults, deaf-faults), else 0.
__attribute__((visibility("default"))) int EarlyThreadsStandingBy();
