#include "fault_vfs.h"

#include <sqlite3.h>

#include <array>
#include <cstring>
#include <stdexcept>

namespace lagrull::test {
namespace {

constexpr int kOps = 4;

struct FaultState {
    sqlite3_vfs* real = nullptr;
    bool armed = false;
    FaultOp op = FaultOp::Write;
    int n = 0;
    FaultKind kind = FaultKind::IoError;
    FaultSpan span = FaultSpan::Lasting;
    bool fired = false;
    std::array<int, kOps> calls{};
};

FaultState state;
sqlite3_vfs faultVfs;
bool alive = false;

// Our file: the layer's own methods in front, the ordinary file behind it.
struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* realOf(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f)->real; }

int faultCode(FaultOp op) {
    if (state.kind == FaultKind::DiskFull && (op == FaultOp::Write || op == FaultOp::Truncate))
        return SQLITE_FULL;
    switch (op) {
        case FaultOp::Write: return SQLITE_IOERR_WRITE;
        case FaultOp::Sync: return SQLITE_IOERR_FSYNC;
        case FaultOp::Read: return SQLITE_IOERR_READ;
        case FaultOp::Truncate: return SQLITE_IOERR_TRUNCATE;
    }
    return SQLITE_IOERR;
}

// SQLITE_OK when the call may go on, else the code it fails with.
int strike(FaultOp op) {
    const int count = ++state.calls[static_cast<int>(op)];
    if (!state.armed || op != state.op || count < state.n) return SQLITE_OK;
    if (state.span == FaultSpan::Once && count > state.n) return SQLITE_OK;
    state.fired = true;
    return faultCode(op);
}

int xClose(sqlite3_file* f) { return realOf(f)->pMethods->xClose(realOf(f)); }

int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    if (const int rc = strike(FaultOp::Read)) return rc;
    return realOf(f)->pMethods->xRead(realOf(f), buffer, amount, offset);
}

int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    if (const int rc = strike(FaultOp::Write)) return rc;
    return realOf(f)->pMethods->xWrite(realOf(f), buffer, amount, offset);
}

int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    if (const int rc = strike(FaultOp::Truncate)) return rc;
    return realOf(f)->pMethods->xTruncate(realOf(f), size);
}

int xSync(sqlite3_file* f, int flags) {
    if (const int rc = strike(FaultOp::Sync)) return rc;
    return realOf(f)->pMethods->xSync(realOf(f), flags);
}

int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return realOf(f)->pMethods->xFileSize(realOf(f), size);
}
int xLock(sqlite3_file* f, int lock) { return realOf(f)->pMethods->xLock(realOf(f), lock); }
int xUnlock(sqlite3_file* f, int lock) { return realOf(f)->pMethods->xUnlock(realOf(f), lock); }
int xCheckReservedLock(sqlite3_file* f, int* out) {
    return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
}
int xSectorSize(sqlite3_file* f) { return realOf(f)->pMethods->xSectorSize(realOf(f)); }
int xDeviceCharacteristics(sqlite3_file* f) {
    return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
}
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    return realOf(f)->pMethods->xShmMap(realOf(f), region, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return realOf(f)->pMethods->xShmLock(realOf(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) { realOf(f)->pMethods->xShmBarrier(realOf(f)); }
int xShmUnmap(sqlite3_file* f, int deleteFlag) {
    return realOf(f)->pMethods->xShmUnmap(realOf(f), deleteFlag);
}

// Version 2: the shared memory of the WAL, no memory mapping (every page
// then goes through xRead).
const sqlite3_io_methods faultMethods = {2,
                                         xClose,
                                         xRead,
                                         xWrite,
                                         xTruncate,
                                         xSync,
                                         xFileSize,
                                         xLock,
                                         xUnlock,
                                         xCheckReservedLock,
                                         xFileControl,
                                         xSectorSize,
                                         xDeviceCharacteristics,
                                         xShmMap,
                                         xShmLock,
                                         xShmBarrier,
                                         xShmUnmap,
                                         nullptr,
                                         nullptr};

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* ours = reinterpret_cast<FaultFile*>(f);
    ours->real = reinterpret_cast<sqlite3_file*>(ours + 1);
    std::memset(ours->real, 0, static_cast<std::size_t>(state.real->szOsFile));
    const int rc = state.real->xOpen(state.real, name, ours->real, flags, outFlags);
    // A file the ordinary layer left without methods needs no close.
    ours->base.pMethods = ours->real->pMethods ? &faultMethods : nullptr;
    return rc;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir) {
    return state.real->xDelete(state.real, name, syncDir);
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
    return state.real->xAccess(state.real, name, flags, out);
}
int xFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return state.real->xFullPathname(state.real, name, size, out);
}
void* xDlOpen(sqlite3_vfs*, const char* name) { return state.real->xDlOpen(state.real, name); }
void xDlError(sqlite3_vfs*, int size, char* out) { state.real->xDlError(state.real, size, out); }
void (*xDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return state.real->xDlSym(state.real, handle, symbol);
}
void xDlClose(sqlite3_vfs*, void* handle) { state.real->xDlClose(state.real, handle); }
int xRandomness(sqlite3_vfs*, int size, char* out) {
    return state.real->xRandomness(state.real, size, out);
}
int xSleep(sqlite3_vfs*, int micro) { return state.real->xSleep(state.real, micro); }
int xCurrentTime(sqlite3_vfs*, double* out) { return state.real->xCurrentTime(state.real, out); }
int xGetLastError(sqlite3_vfs*, int size, char* out) {
    return state.real->xGetLastError ? state.real->xGetLastError(state.real, size, out) : 0;
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
    return state.real->xCurrentTimeInt64(state.real, out);
}

}  // namespace

TFaultInjector::TFaultInjector() {
    if (alive) throw std::logic_error("one fault injector at a time");
    sqlite3_initialize();
    state = FaultState{};
    state.real = sqlite3_vfs_find(nullptr);
    faultVfs = sqlite3_vfs{};
    faultVfs.iVersion = 2;
    faultVfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + state.real->szOsFile;
    faultVfs.mxPathname = state.real->mxPathname;
    faultVfs.zName = "lagrull-faults";
    faultVfs.xOpen = xOpen;
    faultVfs.xDelete = xDelete;
    faultVfs.xAccess = xAccess;
    faultVfs.xFullPathname = xFullPathname;
    faultVfs.xDlOpen = xDlOpen;
    faultVfs.xDlError = xDlError;
    faultVfs.xDlSym = xDlSym;
    faultVfs.xDlClose = xDlClose;
    faultVfs.xRandomness = xRandomness;
    faultVfs.xSleep = xSleep;
    faultVfs.xCurrentTime = xCurrentTime;
    faultVfs.xGetLastError = xGetLastError;
    faultVfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    sqlite3_vfs_register(&faultVfs, 1);
    alive = true;
}

TFaultInjector::~TFaultInjector() {
    sqlite3_vfs_unregister(&faultVfs);
    sqlite3_vfs_register(state.real, 1);
    alive = false;
}

void TFaultInjector::arm(FaultOp op, int n, FaultKind kind, FaultSpan span) {
    state.span = span;
    state.armed = true;
    state.op = op;
    state.n = n;
    state.kind = kind;
    state.fired = false;
    state.calls = {};
}

void TFaultInjector::disarm() { state.armed = false; }
bool TFaultInjector::fired() const { return state.fired; }
int TFaultInjector::calls(FaultOp op) const { return state.calls[static_cast<int>(op)]; }

const char* faultOpName(FaultOp op) {
    switch (op) {
        case FaultOp::Write: return "skriving";
        case FaultOp::Sync: return "synkronisering";
        case FaultOp::Read: return "lesing";
        case FaultOp::Truncate: return "avkorting";
    }
    return "";
}

const char* faultKindName(FaultKind kind) {
    return kind == FaultKind::DiskFull ? "full disk" : "I/O-feil";
}

}  // namespace lagrull::test
