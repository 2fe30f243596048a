// The member reports: the wizard's joins and steps, the rows with their
// computed fields, the layouts and the separated text file, on the demo
// register.
#include <fstream>
#include <sstream>

#include "report_test_support.h"
#include "reports/engine/report_engine.h"
#include "reports/rapp.h"
#include "selection_fixture.h"

namespace lagrull::test {
namespace {

using namespace reports;

class FakeEgenDef : public TEgenDefStep {
public:
    std::function<void(TEgenDefStep&)> set;
    std::deque<int> results;

protected:
    int Execute() override {
        if (set) set(*this);
        if (results.empty()) return kStepNext;
        const int r = results.front();
        results.pop_front();
        return r;
    }
};

class FakeUtskrifter : public TRappUtskrifterStep {
public:
    std::function<void(TRappUtskrifterStep&)> set;
    std::deque<int> results;

protected:
    int Execute() override {
        if (set) set(*this);
        if (results.empty()) return kStepNext;
        const int r = results.front();
        results.pop_front();
        return r;
    }
};

class FakeHvem : public TKravTilHvemStep {
public:
    explicit FakeHvem(int choice, std::deque<int>* trail) : choice_(choice), trail_(trail) {}
    int ShowModal() override {
        SetChoice(choice_);
        if (trail_) trail_->push_back(2);
        return kStepNext;
    }

private:
    int choice_;
    std::deque<int>* trail_;
};

class Steps : public ScriptedSteps, public TRappStepFactory {
public:
    int choice = 0;  // of "Ønsker du å gøre et utvalg?"
    std::function<void(TEgenDefStep&)> egenDef;
    std::function<void(TRappUtskrifterStep&)> utskrifter;
    std::deque<int> utskrifterResults;
    std::deque<int> trail;  // step numbers shown, for the who-step

    std::unique_ptr<TKravTilHvemStep> CreateKravTilHvem() override {
        return std::make_unique<FakeHvem>(choice, &trail);
    }
    std::unique_ptr<TEgenDefStep> CreateEgenDef() override {
        auto s = std::make_unique<FakeEgenDef>();
        s->set = egenDef;
        return s;
    }
    std::unique_ptr<TRappUtskrifterStep> CreateRappUtskrifter() override {
        auto s = std::make_unique<FakeUtskrifter>();
        s->set = utskrifter;
        s->results = utskrifterResults;
        return s;
    }
};

// Keeps what would be shown: the layout and the rows' chosen fields.
class CapturedOutput : public TReportOutput {
public:
    std::vector<std::string> fields = {"MEDLNR"};
    std::optional<report::ReportLayout> layout;
    std::vector<std::vector<std::string>> rows;
    RecordingCanvas canvas;
    std::string openedFile;
    std::vector<int> percents;

    void ShowReport(const report::ReportLayout& l, report::TReportRowSource& source) override {
        layout = l;
        while (source.next()) {
            std::vector<std::string> row;
            for (const std::string& f : fields) row.push_back(source.text(f));
            rows.push_back(row);
        }
        source.rewind();
        report::TReportEngine engine(*layout, canvas);
        engine.run(source);
    }
    void OpenTextFile(const std::string& file) override { openedFile = file; }
    bool TextFileProgress(int percent) override {
        percents.push_back(percent);
        return true;
    }
};

int entryOf(const TEgenDefStep& s, const std::string& shown) {
    const auto& c = s.Catalogue();
    for (std::size_t i = 0; i < c.size(); ++i)
        if (ParseCatalogueEntry(c[i]).shown == shown) return static_cast<int>(i);
    ADD_FAILURE() << "no entry " << shown;
    return 0;
}

class RappTest : public SelectionTest {
protected:
    TRappOutcome run(TRappKind kind) {
        TRapp rapp({ui, store->dbMng(), steps, steps, tables().OrgTable, tables().MedlTable,
                    RegisterKind::Members, settingsFile()});
        const TRappOutcome outcome = rapp.RunReport(kind, output);
        sql = rapp.BuildSql();
        claimsJoined = rapp.Own().ClaimsJoined;
        relationsJoined = rapp.Own().RelationsJoined;
        return outcome;
    }
    std::string settingsFile() const { return dir.str() + "/bruker.ini"; }
    std::vector<const MemberRow*> members(std::int64_t org) const {
        std::vector<const MemberRow*> out;
        for (const MemberRow& m : snapshot)
            if (m.orgnr == org) out.push_back(&m);
        return out;
    }

    Steps steps;
    CapturedOutput output;
    std::string sql;
    bool claimsJoined = false, relationsJoined = false;
};

TEST_F(RappTest, MemberColumnsOnlyJoinNothing) {
    steps.egenDef = [](TEgenDefStep& s) {
        s.Rows[0].entry = entryOf(s, "Medlemsnr");
        s.Rows[1].entry = entryOf(s, "Navn");
        s.Rows[2].entry = entryOf(s, "Fødselsdato");
    };
    ASSERT_EQ(run(TRappKind::EgenDefinert), TRappOutcome::Shown);
    EXPECT_EQ(sql.find("mbetreg"), std::string::npos) << sql;
    EXPECT_EQ(sql.find("relreg"), std::string::npos) << sql;
    EXPECT_FALSE(claimsJoined || relationsJoined);
    EXPECT_EQ(output.rows.size(), members(1).size());
}

TEST_F(RappTest, KidColumnJoinsClaimsOneRowPerClaim) {
    std::size_t claims = 0;
    for (const MemberRow* m : members(1)) claims += m->claims.size();
    ASSERT_GT(claims, members(1).size());  // some member has several
    steps.egenDef = [](TEgenDefStep& s) {
        s.Rows[0].entry = entryOf(s, "Medlemsnr");
        s.Rows[1].entry = entryOf(s, "Betaling - KID");
        s.Rows[2].entry = entryOf(s, "Betaling - Generert Beløp");
    };
    output.fields = {"MEDLNR", "KID", "MASKBELOP", "BELOP"};
    ASSERT_EQ(run(TRappKind::EgenDefinert), TRappOutcome::Shown);
    EXPECT_TRUE(claimsJoined);
    EXPECT_NE(sql.find("mbetreg b"), std::string::npos);
    EXPECT_NE(sql.find("m.orgnr = b.orgnr AND m.medlnr = b.medlnr"), std::string::npos) << sql;
    ASSERT_EQ(output.rows.size(), claims);
    std::multiset<std::string> kids, expected;
    for (const auto& row : output.rows) {
        kids.insert(row[1]);
        EXPECT_EQ(report::numberOf(row[3]), report::numberOf(row[2].empty() ? "0" : row[2]));
    }
    data::TOrvQuery q(db());
    q.setSql("select kid, belop from mbetreg where orgnr = 1");
    q.open();
    double sum = 0, shown = 0;
    for (; !q.eof(); q.next()) {
        expected.insert(data::FieldText(q, "kid"));
        sum += data::FieldFloat(q, "belop");
    }
    for (const auto& row : output.rows) shown += report::numberOf(row[3]);
    EXPECT_EQ(kids, expected);
    EXPECT_NEAR(shown, sum, 0.005) << "the claims' amounts, not the members'";
}

TEST_F(RappTest, RelationColumnIsAnInnerJoin) {
    std::size_t relations = 0, without = 0;
    for (const MemberRow* m : members(1)) {
        relations += m->relations.size();
        if (m->relations.empty()) ++without;
    }
    ASSERT_GT(without, 0u);
    steps.egenDef = [](TEgenDefStep& s) {
        s.Rows[0].entry = entryOf(s, "Medlemsnr");
        s.Rows[1].entry = entryOf(s, "Relasjon - Navn");
    };
    output.fields = {"MEDLNR", "RELNAVN"};
    ASSERT_EQ(run(TRappKind::EgenDefinert), TRappOutcome::Shown);
    EXPECT_TRUE(relationsJoined);
    EXPECT_FALSE(claimsJoined);
    EXPECT_EQ(output.rows.size(), relations);
    for (const auto& row : output.rows) EXPECT_NE(row[1], "");
}

TEST_F(RappTest, CriteriaTablesSetTheFlagsToo) {
    steps.choice = 1;
    steps.set = [](TUtvalgskriterier& c) { c.SetForfDato(1); };  // "ALLE"
    output.fields = {"MEDLNR", "KID"};
    ASSERT_EQ(run(TRappKind::Medlemsliste), TRappOutcome::Shown);
    EXPECT_TRUE(claimsJoined);
    EXPECT_FALSE(relationsJoined);
    EXPECT_TRUE(std::any_of(output.rows.begin(), output.rows.end(),
                            [](const auto& row) { return !row[1].empty(); }));
}

TEST_F(RappTest, SemicolonFileOfTwoMembers) {
    steps.choice = 1;
    const std::string first = members(1)[0]->medlnr, second = members(1)[1]->medlnr;
    steps.set = [&](TUtvalgskriterier& c) {
        pickMember(c, first);
        pickMember(c, second);
    };
    const std::string file = dir.str() + "/liste.txt";
    steps.utskrifter = [&](TRappUtskrifterStep& s) {
        s.SkrivTilFil = true;
        s.FileName = file;
    };
    ASSERT_EQ(run(TRappKind::Medlemsliste), TRappOutcome::FileWritten);
    EXPECT_EQ(output.openedFile, file);
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = all.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(all.substr(at, end - at));
    ASSERT_EQ(lines.size(), 2u) << all;
    for (const std::string& l : lines) {
        EXPECT_EQ(l.back(), ';');
        EXPECT_EQ(std::count(l.begin(), l.end(), ';'), 10);
    }
    EXPECT_EQ(output.percents.back(), 100);
    EXPECT_FALSE(output.layout) << "a file report is not previewed";
}

TEST_F(RappTest, EmptySelectionShowsTheMessageOnly) {
    steps.choice = 1;
    steps.set = [](TUtvalgskriterier& c) { c.PostnrFra = "9999"; };
    EXPECT_EQ(run(TRappKind::Medlemsliste), TRappOutcome::Empty);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Ingen poster funnet for dette utvalget!"});
    EXPECT_FALSE(output.layout);
}

TEST_F(RappTest, SortByBirthDateOrdersByYearMonthDay) {
    steps.utskrifter = [](TRappUtskrifterStep& s) { s.Sort = 11; };  // "Fødselsdato"
    output.fields = {"FDATO2"};
    ASSERT_EQ(run(TRappKind::Medlemsliste), TRappOutcome::Shown);
    EXPECT_NE(sql.find("order by fdato2"), std::string::npos) << sql;
    for (std::size_t i = 1; i < output.rows.size(); ++i)
        EXPECT_LE(output.rows[i - 1][0], output.rows[i][0]);
}

TEST_F(RappTest, BackFromSettingsGoesToTheStepShownBefore) {
    steps.utskrifterResults = {kStepBack, kStepNext};
    ASSERT_EQ(run(TRappKind::Medlemsliste), TRappOutcome::Shown);
    EXPECT_EQ(steps.trail.size(), 2u) << "without a selection, back leads to the who-step";
}

TEST_F(RappTest, SettingsAreSavedWhenTheReportRuns) {
    steps.utskrifter = [](TRappUtskrifterStep& s) {
        s.Settings.LabelColumns = 2;
        s.Settings.LabelHeight = 38.1;
    };
    ASSERT_EQ(run(TRappKind::Etiketter), TRappOutcome::Shown);
    TPrintSettings read;
    ASSERT_TRUE(LoadPrintSettings(settingsFile(), read));
    EXPECT_EQ(read.LabelColumns, 2);
    EXPECT_DOUBLE_EQ(read.LabelHeight, 38.1);
    EXPECT_EQ(output.layout->page.columns, 2);
}

TEST_F(RappTest, LabelsThreeAcrossShiftedByTheMargins) {
    output.fields = {"NAVN"};
    steps.utskrifter = [](TRappUtskrifterStep& s) {
        s.Settings = TPrintSettings{};
        s.Settings.LeftMargin = 6;
        s.NameOrder = TLabelNameOrder::FornavnEtternavn;
    };
    ASSERT_EQ(run(TRappKind::Etiketter), TRappOutcome::Shown);
    // The names of the first row of labels, in the query's order (member number).
    std::vector<DrawnText> names;
    for (const DrawnText& t : output.canvas.texts)
        if (t.page == 1 && t.where.top == 5 + 6.35) names.push_back(t);
    ASSERT_GE(names.size(), 3u);
    const double column = (210 - 6) / 3.0;
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(names[static_cast<std::size_t>(i)].where.left, 6 + i * column + 10, 1e-9);
    EXPECT_EQ(output.rows[0][0].find(", "), std::string::npos) << "Fornavn Etternavn";
}

TEST_F(RappTest, SmrWithAVanishedExtraFieldLeavesTheRowEmpty) {
    const std::string smr = dir.str() + "/oppsett.smr";
    {
        std::ofstream out(smr);
        out << "[DATA]\nFIELD1=Navn;navn;medlreg=Navn\nPOS1=5\n"
               "FIELD2=Skonr;ekstra7;medlreg=Skonr\nPOS2=-4\n";
    }
    steps.egenDef = [&](TEgenDefStep& s) { s.LoadLayout(smr); };
    ASSERT_EQ(run(TRappKind::EgenDefinert), TRappOutcome::Shown);
    std::vector<std::string> captions;
    for (const auto& item : output.layout->pageHeader.items)
        if (item.kind == report::ItemKind::Text && item.top > 10) captions.push_back(item.text);
    EXPECT_EQ(captions, std::vector<std::string>{"Navn"});
}

TEST_F(RappTest, AvbrytStopsTheTextFile) {
    const std::string file = dir.str() + "/liste.txt";
    data::TOrvQuery query(db());
    query.setSql("select * from medlreg m where m.orgnr = 1 order by m.nmedlnr");
    TMemberReportRows rows(query, false, false, TLabelNameOrder::EtternavnFornavn, false);
    const long long total = rows.count();
    std::vector<int> seen;
    const long long written =
        WriteSeparatedFile(rows, {"MEDLNR", "NAVN"}, '\t', total, file, [&](int percent) {
            seen.push_back(percent);
            return percent < 50;  // "Avbryt" at half way
        });
    EXPECT_LT(written, total);
    EXPECT_GE(written, total / 2);
    for (int p : seen) EXPECT_EQ(p % 5, 0);
    std::ifstream in(file, std::ios::binary);
    std::string line;
    long long lines = 0;
    while (std::getline(in, line)) ++lines;
    EXPECT_EQ(lines, written);
}

TEST(RappEgenDef, SavedLayoutReadsBackLowerCased) {
    TempDir dir;
    TExtraNames names;
    names[6] = "Skonr";
    FakeEgenDef saved;
    saved.Setup(RegisterKind::Members, names);
    saved.Rows[0] = {entryOf(saved, "Skonr"), 15};
    saved.Rows[3] = {entryOf(saved, "Betaling - KID"), 100};
    saved.SaveLayout(dir.path() / "Oppsett.SMR");
    ASSERT_TRUE(std::filesystem::is_regular_file(dir.path() / "oppsett.smr"));
    FakeEgenDef loaded;
    loaded.Setup(RegisterKind::Members, names);
    loaded.LoadLayout(dir.path() / "oppsett.smr");
    for (int i = 0; i < kEgenDefRows; ++i) {
        EXPECT_EQ(loaded.Rows[static_cast<std::size_t>(i)].entry,
                  saved.Rows[static_cast<std::size_t>(i)].entry)
            << i;
        EXPECT_EQ(loaded.Rows[static_cast<std::size_t>(i)].position,
                  saved.Rows[static_cast<std::size_t>(i)].position)
            << i;
    }
    EXPECT_TRUE(loaded.Uses(TTableGroup::Mbetreg));
    EXPECT_FALSE(loaded.Uses(TTableGroup::Relreg));
}

TEST(RappLayout, PositionsZeroAndHundredStandAtTheEdges) {
    TMemberReportSpec job;
    job.kind = TRappKind::EgenDefinert;
    job.columns[0] = {ParseCatalogueEntry("Navn;navn;medlreg=Navn"), 0};
    job.columns[1] = {ParseCatalogueEntry("Postnr;postnr;medlreg=Postnr"), 100};
    const report::ReportLayout l = MemberReportLayout(job, 1);
    const double width = l.page.printableWidth();
    std::vector<const report::ReportItem*> fields;
    for (const auto& item : l.detail.items)
        if (item.kind == report::ItemKind::Field) fields.push_back(&item);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0]->left, 0);
    EXPECT_EQ(fields[0]->align, report::Align::Left);
    EXPECT_DOUBLE_EQ(fields[1]->left + fields[1]->width, width);
    EXPECT_EQ(fields[1]->align, report::Align::Right);
}

TEST(RappLayout, RelationsBandAndTheLineMoveToTheTop) {
    TMemberReportSpec job;
    job.medRelasjoner = true;
    const report::ReportLayout with = MemberReportLayout(job, 3);
    ASSERT_TRUE(with.subDetail);
    job.medRelasjoner = false;
    const report::ReportLayout without = MemberReportLayout(job, 3);
    EXPECT_FALSE(without.subDetail);
    const auto lineTop = [](const report::ReportLayout& l) {
        for (const auto& item : l.detail.items)
            if (item.kind == report::ItemKind::Line) return item.top;
        return -1.0;
    };
    EXPECT_EQ(lineTop(with), 0);
    EXPECT_DOUBLE_EQ(lineTop(without), without.detail.height);
    EXPECT_TRUE(without.page.landscape);
}

TEST(RappCatalogue, ExtraFieldsAndTenantCaptions) {
    TExtraNames names;
    names[2] = "Skonr";
    const auto entries = EgenDefCatalogue(RegisterKind::Rent, names);
    EXPECT_EQ(entries[0], "=< VELG FELT>");
    EXPECT_EQ(entries[1], "Leietakernr;nmedlnr;medlreg=Leietakernr");
    EXPECT_EQ(entries[17], "Skonr;ekstra3;medlreg=Skonr");
    EXPECT_EQ(entries.size(), 18u + 9u);
    const TEgenDefField kid = ParseCatalogueEntry("KID;kid;mbetreg=Betaling - KID");
    EXPECT_EQ(kid.caption, "KID");
    EXPECT_EQ(kid.field, "kid");
    EXPECT_EQ(kid.group, TTableGroup::Mbetreg);
    EXPECT_EQ(kid.shown, "Betaling - KID");
    EXPECT_EQ(ParseCatalogueEntry(kNoColumnEntry).group, TTableGroup::None);
    const auto sorts = RappSortEntries(RegisterKind::Members, names);
    EXPECT_EQ(sorts.back(), "m.ekstra3=Skonr");
    EXPECT_EQ(SortKeyOrderBy(sorts[11]), "fdato2");
    EXPECT_EQ(SortKeyOrderBy(sorts[1]), "m.enavn,m.fornavn");
    EXPECT_EQ(SeparatorChar(TSeparator::Ampersand), '@');
}

TEST(RappSettings, MissingKeysGiveDefaultsAndHeightsKeepTheirDecimals) {
    TempDir dir;
    const std::string file = dir.str() + "/bruker.ini";
    {
        std::ofstream out(file);
        out << "[Setup]\nLabelColumns=4\nLabelHeight=37,5\n";
    }
    TPrintSettings s;
    s.LabelLeftMargin = 99;
    ASSERT_TRUE(LoadPrintSettings(file, s));
    EXPECT_EQ(s.LabelColumns, 4);
    EXPECT_DOUBLE_EQ(s.LabelHeight, 37.5);
    EXPECT_EQ(s.LabelLeftMargin, 10);
    TPrintSettings kept;
    kept.TopMargin = 7;
    EXPECT_FALSE(LoadPrintSettings(dir.str() + "/mangler.ini", kept));
    EXPECT_EQ(kept.TopMargin, 7);
    EXPECT_EQ(LabelHeightText(36), "36");
    EXPECT_EQ(LabelHeightText(12.3456789), "12,345679");
    EXPECT_EQ(LabelHeightText(38.1), "38,1");
}

}  // namespace
}  // namespace lagrull::test
