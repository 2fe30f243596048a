// Reading a transmission written earlier, so that assignments can be added
// to it. The lines replace the texts of the records created for them, so
// every number of the file is kept. A record that cannot be placed (a
// transaction outside an assignment, a text record after a deletion, ...)
// fails with the line number, because appending to such a file would send
// the bank a transmission it rejects.
#include "clearing/bbs_file.h"
#include "clearing/bbs_transmission.h"
#include "common/error.h"

namespace lagrull::clearing {

struct TBBS::LoadState {
    TBBSOppdrag* assignment = nullptr;           // the assignment open since its "20"
    TBBSTransaksjonBase* transaction = nullptr;  // the transaction of the last "30"
    bool startSeen = false;                      // the file's own start record came
};

namespace {

using Kind = TBBSOppdrag::Kind;

Kind assignmentKind(std::string_view service, std::string_view type) {
    if (service == "21" && type == "00") return Kind::Betaling;
    if (service == "21" && type == "36") return Kind::Sletting;
    if (service == "04" && type == "00") return Kind::Remittering;
    throw FormatError("Ukjent oppdragstype");
}

Kind transactionKind(std::string_view service, std::string_view type) {
    if (service == "21" && (type == "21" || type == "02")) return Kind::Betaling;
    if (service == "21" && type == "93") return Kind::Sletting;
    if (service == "04" && type == "03") return Kind::Remittering;
    throw FormatError("Ukjent transaksjonstype");
}

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Betaling: return "et betalingsoppdrag";
        case Kind::Sletting: return "et sletteoppdrag";
        case Kind::Remittering: return "et remitteringsoppdrag";
    }
    return "";
}

bool isKnownRecord(std::string_view type) {
    static constexpr std::string_view kTypes[] = {"10", "89", "20", "88", "30",
                                                  "31", "49", "40", "41"};
    for (const auto t : kTypes)
        if (t == type) return true;
    return false;
}

// Every record the file gives us is 80 characters (the file reader refuses
// longer ones): a line whose trailing blanks and fillers an editor cut is
// padded with blanks. A transaction's amount item 1 ends in a filler of
// zeros, so one that is short was cut inside its fields.
void normaliseLength(std::string& line, std::string_view record) {
    const auto length = static_cast<std::size_t>(kRecordLength);
    if (record == "30" && line.size() < length)
        throw FormatError("posten er kortere enn 80 tegn (" + std::to_string(line.size()) +
                          " tegn)");
    line.resize(length, ' ');
}

}  // namespace

void TBBS::LoadFromFile(const std::filesystem::path& path, std::string_view dataavsender) {
    loading_ = true;
    ClearingFileReader reader;
    try {
        if (!reader.open(path)) throw FileError("Finner ikke BBS filen " + path.string());
        LoadState state;
        std::string line;
        for (;;) {
            try {
                if (!reader.next(line)) break;
                loadLine(std::move(line), state);
            } catch (const FormatError& e) {
                throw FormatError("Feil i BBS-filen " + path.string() + ", linje " +
                                  std::to_string(reader.lineNumber()) + ": " + e.what());
            }
        }
        if (!state.startSeen) start_.SetDataavsender(dataavsender);
    } catch (...) {
        reader.close();
        loading_ = false;
        Recalculate();
        throw;
    }
    reader.close();
    loading_ = false;
    Recalculate();
}

void TBBS::loadLine(std::string line, LoadState& state) {
    const std::string record = line.size() >= 8 ? line.substr(6, 2) : std::string();
    if (!isKnownRecord(record)) return;
    // Every record of a clearing file opens with the format code; a line
    // with other characters there is not one, and written back it could be
    // read differently (two bytes of another character set taken for one).
    if (line.compare(0, 2, "NY") != 0) throw FormatError("posten begynner ikke med formatkoden NY");
    normaliseLength(line, record);
    const std::string service = line.substr(2, 2);
    const std::string type = line.substr(4, 2);

    if (record == "10") {
        start_.SetLine(std::move(line));
        state.startSeen = true;
    } else if (record == "89") {
        end_.SetLine(std::move(line));
    } else if (record == "20") {
        TBBSOppdrag* assignment = nullptr;
        switch (assignmentKind(service, type)) {
            case Kind::Betaling: assignment = &NyttOppdrag<TBBSBetalingsOppdrag>(); break;
            case Kind::Sletting: assignment = &NyttOppdrag<TBBSSlettingsOppdrag>(); break;
            case Kind::Remittering: assignment = &NyttOppdrag<TBBSRemitteringsOppdrag>(); break;
        }
        assignment->start_->SetLine(std::move(line));
        state.assignment = assignment;
        state.transaction = nullptr;
    } else if (record == "88") {
        if (!state.assignment)
            throw FormatError(
                "slutten på et oppdrag (post 88) står ikke etter starten på et oppdrag");
        state.assignment->end_->SetLine(std::move(line));
        state.assignment->Recalculate();
        state.assignment = nullptr;
        state.transaction = nullptr;
    } else if (record == "30") {
        if (!state.assignment) throw FormatError("transaksjonen (post 30) står ikke i et oppdrag");
        const Kind kind = transactionKind(service, type);
        if (kind != state.assignment->kind())
            throw FormatError("en transaksjon av type " + type + " kan ikke stå i " +
                              kindName(state.assignment->kind()));
        TBBSTransaksjonBase& transaction = state.assignment->NyTransaksjon();
        transaction.loadBelopspost1(std::move(line));
        state.transaction = &transaction;
    } else if (!state.transaction) {
        throw FormatError("posten " + record + " står ikke etter en transaksjon (post 30)");
    } else if (record == "31") {
        state.transaction->loadBelopspost2(std::move(line));
    } else if (record == "49") {
        if (state.assignment->kind() == Kind::Sletting)
            throw FormatError("en sletteanmodning kan ikke ha spesifikasjon (post 49)");
        auto spesifikasjon = makeSpesifikasjon(service, type);
        spesifikasjon->SetLine(std::move(line));
        static_cast<TBBSTransaksjon*>(state.transaction)
            ->loadSpesifikasjon(std::move(spesifikasjon));
    } else {  // "40", "41"
        if (state.assignment->kind() != Kind::Remittering)
            throw FormatError("adresseposten (post " + record +
                              ") hører bare til en remitteringstransaksjon");
        auto* remittance = static_cast<TBBSRemittering*>(state.transaction);
        (record == "40" ? static_cast<TBBSItem&>(remittance->address1_)
                        : static_cast<TBBSItem&>(remittance->address2_))
            .SetLine(std::move(line));
    }
}

}  // namespace lagrull::clearing
