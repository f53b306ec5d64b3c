#pragma once
// The last steps of writing a file so that a reader only ever sees the old contents or the
// whole new ones: the finished temporary file is flushed to the device, renamed over the
// target and the directory entry made durable. A power cut or a full device leaves the old
// file as it was.
#include <string>

enum class AtomicFileStage : int {
    None = 0,
    Open = 1,
    Write = 2,
    Sync = 3,
    Rename = 4,
    // A replacement over a damaged file stops once the damaged file has its second name, as a
    // kill at that moment would leave it (CommitOver answers 0 and undoes nothing).
    Stop = 5,
};

// The temporary name used beside a target.
std::string AtomicTemporaryPath(const std::string& target);
// Flushes the temporary to the device, renames it over the target and syncs the directory;
// 1 on success. On failure the temporary is removed and the target is untouched: 0.
int CommitTemporaryFile(const std::string& temporary, const std::string& target);
// Removes a temporary that will not be committed.
void DiscardTemporaryFile(const std::string& temporary);

// Tests make one stage fail on purpose (None: nothing fails), since a full device or a
// read-only directory cannot be arranged for a test that runs as any user. Asked by the
// writers at each stage.
void SetAtomicFileFault(AtomicFileStage stage);
bool AtomicFileFaultAt(AtomicFileStage stage);
