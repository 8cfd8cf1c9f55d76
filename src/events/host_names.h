#pragma once
// The host names of client addresses, for the alerts, the log lines, the Active
// shares viewer and the Test buttons alike: one cache of the name service's
// answers for the process, and lookup threads that ask for many addresses side
// by side, so that a slow name service holds nobody up for long.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// At most this many queries run at once. A poll's events wait about 3 s for
// their names; 300 new clients whose queries take 500 ms each need about 40
// running side by side to be named in time, and 64 leave room for more. Each
// thread reserves a small stack, so even all of them cost a 32-bit host little
// address space, and the name server never sees more than 64 queries of ours.
constexpr int kLookupThreads = 64;

// The error a use of the name reports when the answer had not come in time
// (the platform's "timed out").
constexpr int kNameLateError = 10060;

enum class NameWait {
    LookUp,    // an address without an answer is looked up, or its running query awaited
    KnownOnly, // a known answer or the address itself; a query is started for later uses
};

// The host name of an IPv4 or IPv6 address text, or the address text itself
// when it has none (or, with KnownOnly, none yet). Traces the answer.
std::string resolveComputerName(const std::string& address, NameWait wait = NameWait::LookUp);

// Starts queries for the addresses that have no answer and no query under way:
// kLookupThreads at most at once, the others queued for them.
void requestHostNames(const std::vector<std::string>& addresses);

// Waits until every address has its answer (true), the tick count reaches
// `deadline` or `stopping` says yes (false). `stopping` is asked at least
// every 50 ms; none of this holds up the queries.
bool awaitHostNames(const std::vector<std::string>& addresses, uint64_t deadline,
                    const std::function<bool()>& stopping);

// Forgets the queued queries that no thread has begun, so that after "stop" the
// lookup threads end once their current query returns.
void cancelQueuedLookups();

// Forgets every answer.
void forgetHostNames();

// The body of a lookup thread: queries the queued addresses one after another,
// and returns once none is left. Lets no exception out.
void runLookupWorker();

// Platform seam: one reverse query of the name service. On success sets
// `host_name` and returns true; otherwise sets `error_code` to the platform's
// error and returns false. gethostbyaddr in the DLL (getnameinfo for IPv6 text);
// a programmable table natively.
bool platformReverseLookup(const std::string& address, std::string& host_name, int& error_code);

// Platform seam: starts a thread that calls runLookupWorker; false when none
// could be made. In the DLL the thread keeps the module loaded until it ends,
// so it may outlive "unload".
bool platformStartLookupThread();

// Platform seam: milliseconds of a clock that only goes forward.
uint64_t platformTickCount();
