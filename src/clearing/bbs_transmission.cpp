// The transmission: numbering, running totals and writing the file.
#include "clearing/bbs_transmission.h"

#include "clearing/bbs_file.h"
#include "clearing/bbs_sequence.h"
#include "common/error.h"
#include "common/file_names.h"
#include "common/ui.h"

namespace lagrull::clearing {

TBBS::TBBS(std::string_view forsendelsesnr) {
    start_.SetForsendelsesnr(forsendelsesnr);
    writeTotals();
}

TBBS::~TBBS() = default;

std::string TBBS::NyttOppdragsnr() { return clearingSequence().NyttOppdragsnr(); }
std::string TBBS::NyttForsendelsesnr() { return clearingSequence().NyttForsendelsesnr(); }

int TBBS::AddOppdrag(std::unique_ptr<TBBSOppdrag> assignment) {
    TBBSOppdrag& added = *assignment;
    added.index_ = static_cast<int>(assignments_.size());
    assignments_.push_back(std::move(assignment));
    if (!loading_) {
        numberTransmission();
        numberAssignment(added);
        add(added.totals(), +1);
        writeTotals();
    }
    return added.index_;
}

void TBBS::numberTransmission() {
    if (start_.Forsendelsesnr() == 0) start_.SetForsendelsesnr(NyttForsendelsesnr());
}

void TBBS::numberAssignment(TBBSOppdrag& assignment) {
    if (assignment.start_->Oppdragsnr() == 0) assignment.start_->SetOppdragsnr(NyttOppdragsnr());
}

void TBBS::add(const AssignmentTotals& t, int sign) {
    sum_ += t.sum * sign;
    transactions_ += t.transactions * sign;
    // An assignment without transactions counts 0 records in its own end
    // record, but its start and end record are in the file all the same.
    records_ += (t.transactions > 0 ? t.records : 2) * sign;
    earliestDates_.add(t.earliest, sign);
}

void TBBS::assignmentChanged(const AssignmentTotals& before, const AssignmentTotals& after) {
    if (loading_) return;
    add(before, -1);
    add(after, +1);
    writeTotals();
}

void TBBS::Recalculate() {
    if (loading_) return;
    numberTransmission();
    sum_ = Money();
    transactions_ = 0;
    records_ = 0;
    earliestDates_.clear();
    for (const auto& assignment : assignments_) {
        numberAssignment(*assignment);
        add(assignment->totals(), +1);
    }
    writeTotals();
}

void TBBS::writeTotals() {
    end_.SetSum(sum_);
    end_.SetForsteForfallsdato(earliestDates_.earliest());
    end_.SetAntallTransaksjoner(transactions_);
    end_.SetAntallRecords(2 + records_);
}

std::string TBBS::ToText(Ui& ui) const {
    for (std::size_t i = 0; i < assignments_.size(); ++i)
        if (trimBlanks(assignments_[i]->Start().RawField(18, 24)).empty())
            ui.message("Oppdrag[" + std::to_string(i) + "]", "Oppdragsnummer er ikke gitt!",
                       Buttons::Ok, Icon::Error);

    std::string out;
    out.reserve(static_cast<std::size_t>(2 + records_) * (kRecordLength + 2));
    appendRecordLine(out, start_);
    for (const auto& assignment : assignments_) {
        appendRecordLine(out, assignment->Start());
        for (int t = 0; t < assignment->TransaksjonCount(); ++t)
            assignment->Transaksjon(t).AppendLines(out);
        appendRecordLine(out, assignment->Slutt());
    }
    appendRecordLine(out, end_);
    return out;
}

void TBBS::SaveToFile(const std::filesystem::path& path, Ui& ui) const {
    const std::string text = ToText(ui);
    try {
        writeFileBytes(path, text);
    } catch (const FileError&) {
        throw FileError("Kan ikke skrive BBS-filen " + path.string());
    }
}

}  // namespace lagrull::clearing
