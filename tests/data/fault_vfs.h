#pragma once
// A file layer under the register's database for tests: it passes every
// call on to the ordinary one and fails the n-th write, sync, read or
// truncation with an I/O error or "disk full", and every later one of the
// same kind until disarmed (a full disk stays full, a failing disk fails),
// or only that one call (a passing fault, as of a network share).
//
// Invariants:
// - While a TFaultInjector lives, every connection opened goes through it;
//   at its end the ordinary layer is the default again. Connections opened
//   through it must be closed before it ends.
// - Only one lives at a time (the engine's list of layers is global).

namespace lagrull::test {

enum class FaultOp { Write, Sync, Read, Truncate };
enum class FaultKind { IoError, DiskFull };
enum class FaultSpan { Lasting, Once };

class TFaultInjector {
public:
    TFaultInjector();
    ~TFaultInjector();
    TFaultInjector(const TFaultInjector&) = delete;
    TFaultInjector& operator=(const TFaultInjector&) = delete;

    // Fails the n-th call of `op` from now on (n from 1), and every later
    // one unless the span is Once.
    void arm(FaultOp op, int n, FaultKind kind, FaultSpan span = FaultSpan::Lasting);
    void disarm();
    // Whether the armed fault has struck.
    bool fired() const;
    // Calls of `op` since the last arm().
    int calls(FaultOp op) const;
};

const char* faultOpName(FaultOp op);
const char* faultKindName(FaultKind kind);

}  // namespace lagrull::test
