#include "reports/brev.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "common/dates.h"
#include "common/error.h"
#include "common/ini_format.h"
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

// "brev.ini": the merge data, in the settings files' format, rewritten in
// place before each merge, so a run of 10,000 letters does not make 10,000
// files for it.
class TMergeIni {
public:
    explicit TMergeIni(fs::path file) : file_(std::move(file)) {}
    void set(const std::string& key, const std::string& value) {
        for (auto& [k, v] : keys_)
            if (k == key) {
                v = value;
                return;
            }
        keys_.emplace_back(key, value);
    }
    void save() const {
        ini::Document doc;
        doc.sections.push_back({"", {}, false});
        ini::Section& brev = doc.sections.emplace_back();
        brev.name = kSection;
        for (const auto& [k, v] : keys_) brev.lines.push_back(k + "=" + ini::encodeValue(v));
        std::ofstream out(file_, std::ios::binary | std::ios::trunc);
        out << ini::serialise(doc);
        if (!out.flush()) throw FileError("Kunne ikke skrive flettefilen " + file_.string() + ".");
    }

private:
    fs::path file_;
    std::vector<std::pair<std::string, std::string>> keys_;
};

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
             criteria.SetBackEnabled(false);
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
        fs::path p = fs::path(dir) / name;
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
    TMergeIni ini(iniFile);  // no key of an earlier run stays
    ini.set("orgnavn", data::FieldText(org, "ORGNAVN"));
    ini.set("orgadresse1", data::FieldText(org, "ADRESSE"));
    ini.set("orgadresse2", data::FieldText(org, "ADRESSE2"));
    ini.set("orgpostnr", data::FieldText(org, "POSTNR"));
    ini.set("orgpoststed", data::FieldText(org, "POSTSTED"));
    ini.set("orgkontonr", data::FieldText(org, "BANKKONTO"));
    ini.set("forfdato", forfDato_);
    ini.save();

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
                do {
                    m.medlnr = cursor.text(nr);
                    m.enavn = cursor.text(enavn);
                    m.fornavn = cursor.text(fornavn);
                    m.email = email >= 0 ? cursor.text(email) : std::string();
                    ini.set("medlnr", masked("###### #####", m.medlnr));
                    ini.set("Enavn", m.enavn);
                    ini.set("Fornavn", m.fornavn);
                    ini.set("adresse1", cursor.text(adresse));
                    ini.set("adresse2", cursor.text(adresse2));
                    ini.set("postnr", cursor.text(postnr));
                    ini.set("poststed", cursor.text(poststed));
                    ini.set("adresse3", cursor.text(adresse3));
                    ini.set("bankkonto", masked("#### ## #####", cursor.text(bankkonto)));
                    m.kid = MakeKid(orgPart, m.medlnr, kLetterKidDate, c_.registerKind);
                    checkKidFits(m.kid, orgPart, m.medlnr);
                    have = cursor.next();
                    progress.step();
                } while (have && cursor.text(nr) == m.medlnr);
                ini.set("belop", "0,00");
                ini.set("mva", "0,00");
                ini.set("belopinklmva", "0,00");
                ini.set("boksnr", "");
                ini.set("kontraktnr", "");
                ini.set("Dato", today());
                ini.set("KID", m.kid);
                ini.set("Bokstype", "");
                ini.save();
            }
            const fs::path& file = stmp.create();
            TRtfExtended engine;
            engine.MergeIniFile = iniFile.string();
            engine.dataDirectory = c_.dataDirectory;
            engine.programDirectory = c_.programDirectory;
            engine.setDatabase(c_.database);
            // Written into the STMP file itself: no further file per letter.
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out << engine.MergeToString(letter.string());
            if (!out.flush()) throw FileError("Kunne ikke skrive brevet " + file.string() + ".");
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
