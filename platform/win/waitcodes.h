#pragma once

// The answers of the wait calls, shared by the message queue's wait and the waits for kernel objects.

#include "platform/win/scalars.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
