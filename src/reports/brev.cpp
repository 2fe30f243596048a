#include "reports/brev.h"

#include <unistd.h>

#include <cstdlib>

#include "common/dates.h"
#include "common/error.h"
#include "common/ini.h"
#include "common/mask.h"
#include "common/ui.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/orv_table.h"
#include "payments/kid.h"
#include "template/merge/rtf_extended.h"

namespace fs = std::filesystem;

namespace lagrull::reports {

namespace {

constexpr const char* kSection = "Brev";
// The fixed date of a letter's KID.
constexpr const char* kLetterKidDate = "01012007";

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday}.shown();
}

std::string masked(const char* mask, const std::string& value) {
    return value.empty() ? value : Mask(mask).show(value);
}

// The temporary letter files of one run: created with the prefix "STMP",
// removed when printed, and all that are left removed at the end.
class TStmpFiles {
public:
    explicit TStmpFiles(fs::path directory) : directory_(std::move(directory)) {}
    ~TStmpFiles() {
        for (const fs::path& f : files_) {
            std::error_code ec;
            fs::remove(f, ec);
        }
    }
    TStmpFiles(const TStmpFiles&) = delete;
    TStmpFiles& operator=(const TStmpFiles&) = delete;

    const fs::path& create() {
        // With an extension: the print path reads a name without one as ".RTF".
        std::string name = (directory_ / "STMPXXXXXX.rtf").string();
        const int fd = mkstemps(name.data(), 4);
        if (fd < 0)
            throw FileError("Kunne ikke opprette en midlertidig fil i " + directory_.string());
        close(fd);
        files_.emplace_back(name);
        return files_.back();
    }
    std::vector<fs::path>& files() { return files_; }

private:
    fs::path directory_;
    std::vector<fs::path> files_;
};

}  // namespace

// --- TStartBrev

const TStringList& TStartBrev::SelectItems() {
    // "m.email" beside the register's own list: the per-member PDF run lists
    // each member's address for mailing.
    select_ = {"m.medlnr",   "m.enavn",    "m.fornavn",  "m.navn",     "m.adresse",
               "m.adresse2", "m.postnr",   "m.poststed", "m.adresse3", "m.bankkonto",
               "m.kategori", "m.varsling", "m.email"};
    return select_;
}

const TStringList& TStartBrev::FromItems() {
    from_ = {"medlreg m"};
    return from_;
}

const TStringList& TStartBrev::WhereItems() {
    where_.clear();
    return where_;
}

const TQueryParamList& TStartBrev::ParamItems() {
    params_.Clear();
    return params_;
}

const TStringList& TStartBrev::OrderByItems() {
    // The member number after the surname keeps each member's rows together
    // when two members share a surname: consecutive rows make one letter.
    orderBy_ = {"m.enavn", "m.medlnr"};
    return orderBy_;
}

// --- TBrev

TBrev::TBrev(TBrevContext context) : c_(std::move(context)) {}

TBrev::~TBrev() = default;

bool TBrev::SelectMembers(TLetterKind kind) {
    wizard_ = std::make_unique<TWizard>(1, 1);
    wizard_->SetStep(
        1,
        {[this, kind]() -> std::unique_ptr<TWizardStep> {
             std::unique_ptr<TWizardStep> w =
                 CriteriaStep(c_.selectionSteps, c_.dbMng, c_.organisations, c_.members).create();
             auto& criteria = static_cast<TUtvalgskriterierStep&>(*w);
             if (kind == TLetterKind::Tilbud) criteria.Criteria().Betaling.choose("Giro[2]");
             criteria.Criteria().SetForfDato(0);  // "INGEN"
             return w;
         },
         [](TWizardStep&, int result) { return result == kStepNext ? 2 : TWizard::kAbort; }});
    if (!wizard_->Run(*this, &own_)) return false;
    forfDato_ = wizard_->Window<TUtvalgskriterierStep>(1)->Criteria().ForfDato().chosen();
    return true;
}

fs::path TBrev::FindTemplate(const std::string& name) const {
    for (const std::string& dir : {c_.dataDirectory, c_.programDirectory}) {
        if (dir.empty()) continue;
        std::error_code ec;
        const fs::path p = fs::path(dir) / name;
        if (fs::is_regular_file(p, ec)) return p;
    }
    return fs::path(c_.dataDirectory) / name;
}

int TBrev::RunLetters(TLetterKind kind, TLetterOutput& output, const std::string& templateFile) {
    int count = 0;
    const auto report = [this, &count] {
        c_.ui.information("Brev", "Det ble skrevet ut " + std::to_string(count) + " stk");
    };
    if (!c_.ui.confirm("ADVARSEL!",
                       "Brev vil bli skrevet ut for valgte kunder~Vil du fortsette?")) {
        report();
        return 0;
    }
    std::error_code ec;
    fs::path letter =
        !templateFile.empty()
            ? fs::path(templateFile)
            : FindTemplate(kind == TLetterKind::Generelt ? kGeneralTemplate : kOfferTemplate);
    if (!fs::is_regular_file(letter, ec)) {
        if (!c_.ui.confirm("Advarsel",
                           "Finner ikke brevmal angitt i standardverdier.\r\nBruk standard "
                           "brevmal istedet?"))
            return 0;
        letter = FindTemplate(kGeneralTemplate);
    }

    const data::TOrvTable& org = c_.organisations;
    const std::int64_t orgNr = data::FieldInt(org, "ORGNR");
    const fs::path iniFile = MergeIniFile();
    fs::remove(iniFile, ec);  // no key of an earlier run stays
    {
        TOrvIni ini(iniFile, IniMode::Write);
        ini.useSection(kSection);
        ini.writeText("orgnavn", data::FieldText(org, "ORGNAVN"));
        ini.writeText("orgadresse1", data::FieldText(org, "ADRESSE"));
        ini.writeText("orgadresse2", data::FieldText(org, "ADRESSE2"));
        ini.writeText("orgpostnr", data::FieldText(org, "POSTNR"));
        ini.writeText("orgpoststed", data::FieldText(org, "POSTSTED"));
        ini.writeText("orgkontonr", data::FieldText(org, "BANKKONTO"));
        ini.writeText("forfdato", forfDato_);
    }

    data::TOrvQuery query(c_.members.database());
    PrepareQuery(query);
    TStmpFiles stmp(c_.tempDirectory);
    std::vector<TLetterMember> addressees;
    {
        long long rows = 0;
        for (data::TOrvCursor pass(query); pass.next();) ++rows;
        ProgressWindow progress(c_.ui, rows);
        data::TOrvCursor cursor(query);
        const auto col = [&cursor](const char* name) { return cursor.columnIndex(name); };
        const int nr = col("MEDLNR"), enavn = col("ENAVN"), fornavn = col("FORNAVN"),
                  adresse = col("ADRESSE"), adresse2 = col("ADRESSE2"), postnr = col("POSTNR"),
                  poststed = col("POSTSTED"), adresse3 = col("ADRESSE3"),
                  bankkonto = col("BANKKONTO"), email = col("EMAIL");
        const std::string orgPart = std::to_string(orgNr + 1);
        bool have = cursor.next();
        while (have) {
            TLetterMember m;
            {
                TOrvIni ini(iniFile, IniMode::Write);
                ini.useSection(kSection);
                do {
                    m.medlnr = cursor.text(nr);
                    m.enavn = cursor.text(enavn);
                    m.fornavn = cursor.text(fornavn);
                    m.email = email >= 0 ? cursor.text(email) : std::string();
                    ini.writeText("medlnr", masked("###### #####", m.medlnr));
                    ini.writeText("Enavn", m.enavn);
                    ini.writeText("Fornavn", m.fornavn);
                    ini.writeText("adresse1", cursor.text(adresse));
                    ini.writeText("adresse2", cursor.text(adresse2));
                    ini.writeText("postnr", cursor.text(postnr));
                    ini.writeText("poststed", cursor.text(poststed));
                    ini.writeText("adresse3", cursor.text(adresse3));
                    ini.writeText("bankkonto", masked("#### ## #####", cursor.text(bankkonto)));
                    m.kid = MakeKid(orgPart, m.medlnr, kLetterKidDate, c_.registerKind);
                    checkKidFits(m.kid, orgPart, m.medlnr);
                    have = cursor.next();
                    progress.step();
                } while (have && cursor.text(nr) == m.medlnr);
                ini.writeText("belop", "0,00");
                ini.writeText("mva", "0,00");
                ini.writeText("belopinklmva", "0,00");
                ini.writeText("boksnr", "");
                ini.writeText("kontraktnr", "");
                ini.writeText("Dato", today());
                ini.writeText("KID", m.kid);
                ini.writeText("Bokstype", "");
            }
            const fs::path& file = stmp.create();
            TRtfExtended engine;
            engine.MergeIniFile = iniFile.string();
            engine.dataDirectory = c_.dataDirectory;
            engine.programDirectory = c_.programDirectory;
            engine.setDatabase(c_.database);
            engine.MergeFile(letter.string(), file.string());
            addressees.push_back(std::move(m));
            ++count;
        }
        progress.finish();
    }

    ProgressWindow printing(c_.ui, static_cast<long long>(stmp.files().size()));
    for (std::size_t i = 0; i < stmp.files().size(); ++i) {
        output.Print(stmp.files()[i], addressees[i]);
        fs::remove(stmp.files()[i], ec);
        printing.step();
    }
    output.Finish();
    stmp.files().clear();
    printing.finish();
    report();
    return count;
}

}  // namespace lagrull::reports
