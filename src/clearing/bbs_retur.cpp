#include "clearing/bbs_retur.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <system_error>
#include <utility>

#include "clearing/bbs_file.h"
#include "common/error.h"
#include "common/ui.h"

namespace fs = std::filesystem;

namespace lagrull::clearing {

namespace {

enum class RecordKind { None, TransmissionStart, AssignmentStart, Payment, Status, Change };

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != b[i]) return false;
    }
    return true;
}

std::string_view part(const std::string& line, std::size_t first, std::size_t length) {
    if (first >= line.size()) return {};
    return trimBlanks(std::string_view(line).substr(first, length));
}

// A payment or agreement record is read field by field: one that is cut
// short would give a KID cut short, so it is refused.
void requireFullLength(const std::string& line) {
    if (line.size() < static_cast<std::size_t>(kRecordLength))
        throw FormatError("posten er kortere enn 80 tegn (" + std::to_string(line.size()) +
                          " tegn)");
}

// The kind of a line by its key (positions 1–4, a point, positions 7–8, in
// any letter case). An end of transmission carries the reference date.
RecordKind classify(const std::string& line, Date& referenceDate) {
    const std::string_view head = part(line, 0, 4);
    const std::string_view record = part(line, 6, 2);
    if (equalsNoCase(head, "NY00")) {
        if (record == "10") return RecordKind::TransmissionStart;
        if (record == "89") {
            // Only a real date moves the reference date; this record has
            // nothing else the register needs, so a bad one is passed over.
            try {
                if (const auto date = readDateField(part(line, 41, 6))) referenceDate = *date;
            } catch (const FormatError&) {
            }
        }
        return RecordKind::None;
    }
    if (equalsNoCase(head, "NY09")) {
        if (record == "20") return RecordKind::AssignmentStart;
        if (record == "30") {
            requireFullLength(line);
            return RecordKind::Payment;
        }
        return RecordKind::None;
    }
    if (equalsNoCase(head, "NY21")) {
        if (record == "20") return RecordKind::AssignmentStart;
        if (record == "70") {
            requireFullLength(line);
            if (line[15] == '0') return RecordKind::Status;
            if (line[15] == '1' || line[15] == '2') return RecordKind::Change;
        }
    }
    return RecordKind::None;
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Lets the window breathe while a long file is read. Asking the clock costs
// more than reading a record, so it is asked only every 64 records (some
// microseconds); the event pump itself keeps to its own interval.
class RecordPump {
public:
    explicit RecordPump(Ui& ui) : pump_(ui) {}
    void tick() {
        if ((++records_ & 63u) == 0) pump_.tick();
    }

private:
    EventPump pump_;
    unsigned records_ = 0;
};

template <class Item>
void moveItems(std::vector<std::unique_ptr<Item>>& from, TBBSReturListe<Item>& to,
               RecordPump& pump) {
    to.Reserve(from.size());
    for (auto& item : from) {
        pump.tick();
        to.Add(std::move(item));
    }
    from.clear();
}

}  // namespace

// ---- Items -----------------------------------------------------------------

TBBSReturItemBetaling::TBBSReturItemBetaling(const ReturnContext& context, TBBSItem line1,
                                             TBBSItem line2)
    : TBBSReturItem(context, std::move(line1), std::move(line2)),
      date_(readDateField(Linje1().RawField(16, 21))),
      amount_(readOcrAmountField(Linje1().RawField(33, 49))) {
    // A reversal takes a payment back: its amount is negative, whether the
    // bank marked it by the sign, by the transaction type or by both.
    reversal_ =
        Linje1().RawField(32, 32) == "-" || Linje1().RawField(5, 6) == "18" || amount_.ore() < 0;
    if (reversal_ && amount_.ore() > 0) amount_ = Money::fromOre(-amount_.ore());
}

bool TBBSReturItemAvtaleStatus::OnskerVarsel() const {
    const std::string_view field = Linje1().RawField(42, 42);
    if (field.empty()) return false;
    switch (upperAscii(field[0])) {
        case '1':
        case 'J':
        case 'S':
        case 'T':
        case 'X':
        case 'Y': return true;
        default: return false;
    }
}

bool TBBSReturItemAvtaleStatus::ErSlettet() const {
    const std::string_view field = Linje1().RawField(16, 16);
    if (field == "1") return false;
    if (field == "2") return true;
    throw FormatError("Ukjent avtalestatus");
}

// ---- Reader ----------------------------------------------------------------

TBBSRetur::TBBSRetur(Ui& ui, fs::path dataDirectory)
    : ui_(ui), dataDirectory_(std::move(dataDirectory)) {}

void TBBSRetur::Clear() {
    betalinger_.Clear();
    endringer_.Clear();
    statusliste_.Clear();
}

void TBBSRetur::LoadFromFile(const fs::path& path) {
    Clear();
    Date referenceDate = returnFileReferenceDate(path);
    ClearingFileReader reader;
    if (!reader.open(path)) {
        std::error_code ec;
        const char* why = !fs::exists(path, ec)        ? "filen finnes ikke"
                          : fs::is_directory(path, ec) ? "det er en katalog"
                                                       : "filen kan ikke leses";
        throw FileError("Kan ikke åpne BBS-returfilen " + path.string() + ": " + why);
    }

    // Items stay here until the whole file is read: a failure delivers none.
    std::vector<std::unique_ptr<TBBSReturItemBetaling>> betalinger;
    std::vector<std::unique_ptr<TBBSReturItemAvtaleEndring>> endringer;
    std::vector<std::unique_ptr<TBBSReturItemAvtaleStatus>> statusliste;
    // Room for as many payments as the file can hold (two lines each), so
    // that a long file does not move its list again and again.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec)
        betalinger.reserve(static_cast<std::size_t>(
            size / ((static_cast<std::uintmax_t>(kRecordLength) + 1) * 2)));
    RecordPump pump(ui_);
    ReturnContext context;
    bool transmissionSeen = false;
    std::string line, second;
    // The line a failure names: the record being handled, or else the line
    // just read.
    long recordLine = 0;
    const auto read = [&](std::string& into) {
        recordLine = 0;
        return reader.next(into);
    };
    // A record found where the second line of a payment should have been.
    std::optional<RecordKind> pending;
    long pendingLine = 0;
    try {
        for (;;) {
            // The next handled record within ten lines, or the end of reading.
            RecordKind kind = RecordKind::None;
            if (pending) {
                kind = *pending;
                line = std::move(second);
                pending.reset();
            }
            for (int n = 0; n < 10 && kind == RecordKind::None; ++n) {
                if (!read(line)) break;
                kind = classify(line, referenceDate);
            }
            if (kind == RecordKind::None) break;
            const long thisLine = pendingLine ? pendingLine : reader.lineNumber();
            pendingLine = 0;
            second.clear();
            if (kind == RecordKind::Payment && read(second)) {
                // The line after amount item 1 is its second line, unless the
                // bank left that out and the line is a record of its own: a
                // payment is never swallowed as the second line of another.
                Date unchanged = referenceDate;
                const RecordKind next = classify(second, unchanged);
                if (next != RecordKind::None) {
                    pending = next;
                    pendingLine = reader.lineNumber();
                }
            }
            recordLine = thisLine;
            pump.tick();

            TBBSItem record(std::exchange(line, {}));
            switch (kind) {
                case RecordKind::TransmissionStart:
                    context.forsendelsesnr = record.GetNumber(17, 23);
                    context.datamottaker = record.GetNumber(24, 31);
                    transmissionSeen = true;
                    break;
                case RecordKind::AssignmentStart:
                    context.oppdragsnr = record.GetNumber(18, 24);
                    context.avtaleId = record.GetNumber(9, 17);
                    break;
                case RecordKind::Payment: {
                    TBBSItem line2(pending ? std::string() : std::exchange(second, {}));
                    auto item = std::make_unique<TBBSReturItemBetaling>(context, std::move(record),
                                                                        std::move(line2));
                    if (!SkipBetaling(*item)) betalinger.push_back(std::move(item));
                    break;
                }
                case RecordKind::Status: {
                    auto item = std::make_unique<TBBSReturItemAvtaleStatus>(
                        context, std::move(record), referenceDate);
                    if (!SkipStatus(*item)) statusliste.push_back(std::move(item));
                    break;
                }
                case RecordKind::Change: {
                    auto item = std::make_unique<TBBSReturItemAvtaleEndring>(
                        context, std::move(record), referenceDate);
                    if (!SkipEndring(*item)) endringer.push_back(std::move(item));
                    break;
                }
                case RecordKind::None: break;
            }
        }
    } catch (const FormatError& e) {
        throw FormatError("Feil i BBS-returfilen " + path.string() + ", linje " +
                          std::to_string(recordLine ? recordLine : reader.lineNumber()) + ": " +
                          e.what());
    }
    reader.close();

    const bool nothingForRegister = betalinger.empty() && endringer.empty() && statusliste.empty();
    moveItems(betalinger, betalinger_, pump);
    moveItems(endringer, endringer_, pump);
    moveItems(statusliste, statusliste_, pump);
    if (transmissionSeen && nothingForRegister) archive(path);
}

void TBBSRetur::archive(const fs::path& path) {
    if (arkivKatalog_.empty()) arkivKatalog_ = dataDirectory_ / "Behandlet";
    std::error_code ec;
    fs::create_directories(arkivKatalog_, ec);
    if (!fs::is_directory(arkivKatalog_))
        throw FileError("Kan ikke opprette katalog for lagring av behandlede BBS-returfiler (" +
                        arkivKatalog_.string() + ")");

    const Date today = Date::today();
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%04d%02d%02d", today.year % 10000, today.month % 100,
                  today.day % 100);
    fs::path target;
    for (int i = 1;; ++i) {
        target = arkivKatalog_ / (prefix + zeroPadded(i, 4) + path.filename().string());
        if (!fs::exists(target, ec)) break;
    }
    fs::rename(path, target, ec);
    if (ec) {
        // Another file system: copy, then remove the original.
        ec.clear();
        fs::copy_file(path, target, ec);
        if (!ec) fs::remove(path, ec);
        if (ec)
            throw FileError("Kan ikke flytte BBS-returfilen " + path.string() + " til " +
                            target.string());
    }
}

Date returnFileReferenceDate(const fs::path& path) {
    const Date today = Date::today();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return today;
    std::tm local{};
    const std::time_t changed = info.st_mtime;
    localtime_r(&changed, &local);
    const Date fileDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    return fileDate < today ? fileDate : today;
}

}  // namespace lagrull::clearing
