#pragma once
// What WHttp and WFtp share on libcurl: the one global set-up, new handles with the time-outs,
// the cancel flag polled during a transfer, and the step at which a failed transfer stopped.

#include <curl/curl.h>

#include <atomic>

#include "platform/net/WNetStep.h"

// A new easy handle, or NULL when none can be made (also while an injected failure is pending).
CURL* NewCurlHandle();
// A connection not made within connectMs fails, and so does a transfer that moves no byte for
// stallSeconds (also while it waits for the server's first answer).
void ApplyTimeouts(CURL* handle, long connectMs, long stallSeconds);
// The transfer is aborted soon after the flag is set (NULL: never).
void WatchCancelFlag(CURL* handle, const std::atomic<bool>* cancelled);
// The step at which the transfer failed: Connect when no connection was made, Send when the
// server gave no answer, Receive when the answer broke off, Cancelled after the flag.
WNetStep StepOfFailure(CURLcode code, CURL* handle, bool answered);
