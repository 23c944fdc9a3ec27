// One moment of the program that loads or stores many settings at once: its start or its
// close. A window opens a loading session around the reading of its settings and a storing
// session around their writing, whatever system it runs on.
//
// Where the registry is the program's own settings file (Linux), a session makes the many
// values one read and one write: while it is open on a thread, every load and store of that
// thread
//   - reads and parses each file once, and again only when the file has changed since (another
//     inode, size or modification time, looked at under the lock);
//   - waits for a lock held by another process at most the session's patience in all, not that
//     patience per value: once it has run out, loads read without waiting and stores fail;
//   - keeps its changes until the session ends, which writes each changed file once, applying
//     the changes in order to the file as it is then.
// A failed write at the end is skipped, as any failed store is.
//
// The Windows registry needs none of this: each value is read and written by the system as it
// comes, and a session there does nothing.
#pragma once

#include <memory>

namespace gridloom {

class TRegistrySession {
public:
    enum class TPurpose {
        Loading,  // waits at most the load patience in all
        Storing,  // waits at most the store patience in all
    };
    explicit TRegistrySession(TPurpose purpose);
    ~TRegistrySession();
    TRegistrySession(const TRegistrySession&) = delete;
    TRegistrySession& operator=(const TRegistrySession&) = delete;

    struct TState;

private:
    std::unique_ptr<TState> FState;  // none for a session opened inside another, which governs
};

}  // namespace gridloom
