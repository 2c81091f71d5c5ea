#pragma once
// The steps of an internet transfer, for telling where one failed.

enum class WNetStep {
    None,        // every step succeeded
    Open,        // the client (its handle) could not be made
    Connect,     // no connection (or, for FTP, no login) to the server
    Send,        // the request went out, or could not, and no answer came
    Receive,     // the answer broke off, or the upload did
    Cancelled,   // the caller's cancel flag stopped it
    Write,       // the caller's sink refused the data
};

// Makes the next count client handles fail to open, as when the system runs out of them.
void InjectOpenFailures(int count);
