// Transfer handlers with scripted switch behaviour, for the transfer tests:
// uploads (firmware 256, configuration 258) that keep every byte received,
// can ask for blocks again or fail at a given block, and a built-in backup
// that serves each switch's BackupFile.
//
// The standard handlers are these with an empty script; install scripted
// ones with InstallTransferHandlers(fleet, script). The script is read and
// changed on the fleet's thread only, under the fleet's lock (use
// TFleet::Edit to change it while the fleet runs).
#pragma once

#include "tests/fakeswitch/FakeSwitch.h"

#include <map>
#include <memory>

namespace FakeSwitch {

struct TTransferScript {
    // Every n-th upload block (counted over all switches) is answered with
    // "send this block again" (state 3); 0: never.
    unsigned AskAgainEvery = 0;
    // Block at which a switch (by MAC) answers the error state 4 and drops
    // the upload.
    std::map<TMac, uint16_t> ErrorAtBlock;

    // Counted by the handlers.
    unsigned BlocksReceived = 0;
    unsigned BlocksAskedAgain = 0;
};

// The upload handler of one command (256 or 258). The upload is whole after
// TSwitch::UploadBlocks blocks: the switch then reports writing flash and
// done. TSwitch::Uploads[code] holds the bytes received, in block order.
THandlerEntry UploadHandler(std::shared_ptr<TTransferScript> script);
// The built-in backup (257): block n of TSwitch::BackupFile, zero-padded,
// the last one numbered 0xFFFF.
THandlerEntry BackupHandler();

// Sets the handlers of 256, 257 and 258 on the fleet.
void InstallTransferHandlers(TFleet &fleet, std::shared_ptr<TTransferScript> script);

// Blocks of 512 bytes that a file of size bytes takes (at least one).
uint16_t BlocksOf(size_t size);

} // namespace FakeSwitch
