#pragma once

#include <QString>

// Replaces `target` with a copy of `source` in one step: the copy is written and synced beside
// the target and then renamed over it, so the old file stays whole if anything fails. The new
// file keeps the old one's permissions (and, for root, its owner); a new target is executable.
// `sourceOwner` >= 0 requires the source to belong to that user (an elevated updater must not
// copy a file the user could not read). Raises TFailure.
void ReplaceFile(const QString& source, const QString& target, int sourceOwner = -1);
