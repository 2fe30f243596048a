// The member import on a register of its own: the guesses on a chosen file,
// the window's rules, approval of changed rows, and the transfer into the
// organisation's members.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_command.h"
#include "data/orv_query.h"
#include "data/schema.h"
#include "demo_store.h"
#include "scripted_ui.h"
#include "services/import_form_logic.h"
#include "services/member_import.h"
#include "services/postnr.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

// The window "Importer fil" as a test drives it.
class ScriptedImportForm : public TImportFormStep {
public:
    explicit ScriptedImportForm(std::function<bool(TImportFormLogic&)> run)
        : run_(std::move(run)) {}
    bool ShowModal(TImportFormLogic& logic) override { return run_(logic); }

private:
    std::function<bool(TImportFormLogic&)> run_;
};

// "Verifiser oppdatering" answering from a list and recording the rows shown.
class ScriptedConfirm : public TUpdateConfirm {
public:
    std::deque<TUpdateChoice> answers;
    std::vector<std::vector<std::string>> shown;  // labels, then new and old per field
    TUpdateChoice Confirm(const std::vector<std::string>& labels,
                          const std::vector<std::string>& newData,
                          const std::vector<std::string>& oldData) override {
        std::vector<std::string> row;
        for (std::size_t i = 0; i < labels.size(); ++i)
            row.push_back(labels[i] + "=" + newData[i] + "/" + oldData[i]);
        shown.push_back(row);
        const TUpdateChoice a = answers.front();
        answers.pop_front();
        return a;
    }
};

class MemberImportTest : public ::testing::Test {
protected:
    MemberImportTest()
        : store(ui, dir.str() + "/lagrul.ini", dir.str()), postal(builtPostalDirectory().string()) {
        store.start();
        data::TDatabase& db = store.dbLocal();
        data::TOrvCommand(db, "insert into orgreg (orgnr, orgnavn) values (1, 'Skiklubben')")
            .execute();
        data::TOrvCommand(db,
                          "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn, betaling, "
                          "firma, medlfradato, varsling) values (1, '5', 5, 'Gammel', 'Gunnar', 0, "
                          "'Firma AS', '01012000', 1)")
            .execute();
        data::TOrvCommand(db,
                          "insert into mbetreg (orgnr, medlnr, dato, belop) values (1, '5', "
                          "'01012024', 100)")
            .execute();
        store.tables().OrgTable.first();
    }

    // Runs the whole function with a window that chooses `file` and then
    // does `adjust` before OK.
    bool runImport(const std::string& content,
                   const std::function<void(TImportFormLogic&)>& adjust = {},
                   TUpdateConfirm* confirm = nullptr) {
        const std::string file = dir.write("medlemmer.txt", content).string();
        ScriptedImportForm window([&](TImportFormLogic& logic) {
            title = logic.Title;
            if (!logic.ChooseFile(file)) return false;
            if (adjust) adjust(logic);
            return logic.CheckTypes() < 0 && logic.Run(confirm, {});
        });
        TMemberImport import(ui, store.tables(), postal);
        const bool done = import.Execute(window);
        transferred = import.Transferred();
        return done;
    }

    // The rows of a query: fields joined by "|", rows by ",".
    std::string column(const std::string& sql) {
        data::TOrvQuery q(store.dbLocal());
        q.setSql(sql);
        q.open();
        std::string out;
        for (; !q.eof(); q.next()) {
            if (q.recNo() > 1) out += ",";
            for (int i = 0; i < q.fieldCount(); ++i)
                out += (i ? "|" : "") + data::FieldText(q, q.field(i).name);
        }
        return out;
    }

    TempDir dir;
    ScriptedUi ui;
    data::DataStore store;
    TPostNr postal;
    std::string title;
    TTransferCounts transferred;
};

}  // namespace

TEST_F(MemberImportTest, GuessesSeparatorHeaderAndCharacterSetOfAChosenFile) {
    struct Case {
        const char* what;
        std::string content;
        char separator;
        TTextConvert convert;
        bool header;
        int columns;
    };
    std::string numbered = "Nr;Navn\n";
    for (int i = 1; i <= 11; ++i) numbered += std::to_string(i) + ";Navn\n";
    const std::vector<Case> cases = {
        {"a semicolon before a comma wins", "1;Hansen, Per;Gate 1\n2;Berg;Gate 2\n", ';',
         TTextConvert::tcUtf8, false, 3},
        {"no separator at all is a tab", "1\n2\n", '\t', TTextConvert::tcUtf8, false, 1},
        {"Windows-1252 letters", "1\tBj\xF8rn\n", '\t', TTextConvert::tcWindows, false, 2},
        {"a column of more than ten numbers under a name is a header", numbered, ';',
         TTextConvert::tcUtf8, true, 2},
        {"ten numbers are too few to tell", numbered.substr(0, numbered.size() - 8), ';',
         TTextConvert::tcUtf8, false, 2},
        {"a Ctos file always has a header",
         "\x1B\x12"
         "A\x12"
         "B\x1B\x12"
         "1\x12"
         "2",
         kCtrlR, TTextConvert::tcCtos, true, 2},
    };
    tFileTrans trans(store.dbLocal(), data::copytabDef());
    TImportFormLogic logic(ui, trans);
    for (const Case& c : cases) {
        ASSERT_TRUE(logic.ChooseFile(dir.write("gjett.txt", c.content).string())) << c.what;
        EXPECT_EQ(trans.FieldSeparator, c.separator) << c.what;
        EXPECT_EQ(trans.TextConvert, c.convert) << c.what;
        EXPECT_EQ(trans.FieldNameHeader, c.header) << c.what;
        EXPECT_EQ(static_cast<int>(logic.Rows.size()), c.columns) << c.what;
    }
    EXPECT_FALSE(logic.ChooseFile(dir.str() + "/finnesikke.txt"));
    EXPECT_EQ(trans.ErrorMessage(), "Finner ikke filen " + dir.str() + "/finnesikke.txt");
}

TEST_F(MemberImportTest, CtosChoiceMovesTheSeparatorAndTheTypeCheckNamesTheColumn) {
    tFileTrans trans(store.dbLocal(), data::copytabDef());
    TImportFormLogic logic(ui, trans);
    ASSERT_TRUE(logic.ChooseFile(dir.write("f.txt", "1;Per;ti kroner\n2;Kari;5\n").string()));
    logic.SetTextConvert(TTextConvert::tcCtos);
    EXPECT_EQ(trans.FieldSeparator, kCtrlR);
    logic.SetTextConvert(TTextConvert::tcDos);
    EXPECT_EQ(trans.FieldSeparator, '\t');
    logic.SetSeparatorIndex(1);
    ASSERT_EQ(logic.Rows.size(), 3u);
    logic.SetChoiceOfRow(2, 12);  // BELOP, the twelfth field
    EXPECT_EQ(logic.CheckTypes(), 2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Feil!");
    EXPECT_EQ(ui.messages[0].text,
              "Ikke overenstemmelse mellom kollone nr 3 og feltet \"BELOP\" sine data.\n"
              "Sjekk kobling mellom kollone og felt");
    EXPECT_EQ(logic.Preview(1), (std::vector<std::string>{"Per", "Kari"}));
}

TEST_F(MemberImportTest, AnImportedMemberReplacesTheOldAndKeepsItsClaims) {
    ASSERT_TRUE(
        runImport("5;Nina;Ny;Gate 1;;0150;22 33 44 55;;01.02.1970;Senior;;1234.50\n"
                  "12-34;Ola;Nordmann;Gate 2;;9999\n"));
    EXPECT_EQ(title, "Medlemsregister Skiklubben fra fil");
    EXPECT_EQ(transferred.members, 2);
    EXPECT_EQ(transferred.replaced, 1);
    EXPECT_EQ(column("select medlnr, nmedlnr, enavn, poststed, telefon, fdato, belop, betaling, "
                     "firma, medlfradato, varsling from medlreg order by nmedlnr"),
              "5|5|Ny|OSLO|22334455|01021970|1234,5|2|||,1234|1234|Nordmann|||||2|||");
    EXPECT_EQ(column("select count(*) as v from mbetreg where medlnr = '5'"), "1");
    EXPECT_EQ(column("select count(*) as v from copytab"), "0");
    EXPECT_EQ(ui.waits.back(),
              (std::pair<std::string, std::string>{"VENT!", "Importerer........."}));
}

TEST_F(MemberImportTest, ChangedRowsAreApprovedByTheUpdateWindow) {
    const std::string file = "7;A\n7;B\n8;A\n8;B\n8;C\n9;A\n9;B\n7;D\n";
    auto manual = [](TImportFormLogic& l) { l.Manual = true; };
    struct Case {
        const char* what;
        std::vector<TUpdateChoice> answers;
        std::deque<Answer> boxes;
        const char* names;  // FORNAVN of 7, 8, 9
        std::size_t asked;
    };
    const std::vector<Case> cases = {
        {"each row on its own",
         {TUpdateChoice::SaveNew, TUpdateChoice::KeepOld, TUpdateChoice::SaveNew,
          TUpdateChoice::KeepOld, TUpdateChoice::SaveNew},
         {},
         "D,C,A",
         5},
        {"\"Lagre alle\" stops the questions and saves the rest",
         {TUpdateChoice::SaveAll},
         {},
         "D,C,B",
         1},
        {"\"Behold alle\" stops the questions and keeps the rest",
         {TUpdateChoice::KeepOld, TUpdateChoice::KeepAll},
         {},
         "A,A,A",
         2},
        {"\"Avbryt importering\" and Yes stops reading",
         {TUpdateChoice::SaveNew, TUpdateChoice::Abort},
         {Answer::Yes},
         "B,A",
         2},
        {"\"Avbryt importering\" and No goes on",
         {TUpdateChoice::Abort, TUpdateChoice::SaveAll},
         {Answer::No},
         "D,C,B",
         2},
    };
    for (const Case& c : cases) {
        data::TOrvCommand(store.dbLocal(), "delete from medlreg where medlnr <> '5'").execute();
        ScriptedConfirm confirm;
        confirm.answers.assign(c.answers.begin(), c.answers.end());
        ui.answers = c.boxes;
        ASSERT_TRUE(runImport(file, manual, &confirm)) << c.what;
        EXPECT_EQ(column("select fornavn as v from medlreg where medlnr in ('7','8','9') order by "
                         "nmedlnr"),
                  c.names)
            << c.what;
        EXPECT_EQ(confirm.shown.size(), c.asked) << c.what;
        EXPECT_EQ(confirm.shown.at(0), (std::vector<std::string>{"MEDLNR=7/7", "FORNAVN=B/A"}))
            << c.what;
    }
}

TEST_F(MemberImportTest, AMalformedFileChangesNothing) {
    const std::string before = column("select enavn as v from medlreg");
    const std::vector<std::string> files = {std::string("5;Ny\n6;\x01\x02\x03\n"),
                                            "5;Ny\n6;" + std::string(std::size_t{1024} * 1024, 'x'),
                                            "5;Ny;Gate;1\n6,Ny,Gate,2\n"};
    for (const std::string& content : files) {
        ui.messages.clear();
        EXPECT_FALSE(runImport(content));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text.substr(0, 8), "Linje 2 ");
        EXPECT_EQ(column("select enavn as v from medlreg"), before);
        EXPECT_EQ(column("select count(*) as v from copytab"), "0");
    }
}

TEST_F(MemberImportTest, NoOrganisationMeansNoImport) {
    data::TOrvCommand(store.dbLocal(), "delete from orgreg").execute();
    store.tables().OrgTable.refresh();
    bool shown = false;
    ScriptedImportForm window([&](TImportFormLogic&) { return shown = true; });
    TMemberImport import(ui, store.tables(), postal);
    EXPECT_FALSE(import.Execute(window));
    EXPECT_FALSE(shown);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Organisasjon må opprettes først!"});
}
