#pragma once
// A data store on a fresh directory with the main window's rules attached
// to a recording view, and a small postal register.

#include <gtest/gtest.h>

#include <memory>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "register/main_form_logic.h"
#include "register/main_form_view.h"
#include "scripted_ui.h"
#include "services/postnr.h"
#include "services/postnr_writer.h"
#include "temp_dir.h"

namespace lagrull::test {

struct RecordingView : MainFormView {
    std::vector<FormField> focused;
    bool memberNumberEditable = false;
    bool stripVisible = false;
    bool stripNameEditable = false;
    std::string heading;
    bool amountFromCategory = false;
    double categoryAmount = 0;
    bool noticeVisible = false;
    long long memberCount = -1;
    std::vector<std::string> categoryNames;
    std::string currentCategory;
    std::array<std::string, 10> extraLabels;
    bool searchSubmenu = false;

    void focusField(FormField f) override { focused.push_back(f); }
    void setMemberNumberEditable(bool e) override { memberNumberEditable = e; }
    void setCategoryStrip(bool v, bool n) override {
        stripVisible = v;
        stripNameEditable = n;
    }
    void setHeading(const std::string& h) override { heading = h; }
    void setMemberAmountFromCategory(bool f, double a) override {
        amountFromCategory = f;
        categoryAmount = a;
    }
    void setNoticeVisible(bool v) override { noticeVisible = v; }
    void setMemberCount(long long c) override { memberCount = c; }
    void setCategoryNames(const std::vector<std::string>& n, const std::string& c) override {
        categoryNames = n;
        currentCategory = c;
    }
    void setExtraFieldLabels(const std::array<std::string, 10>& l) override { extraLabels = l; }
    void setSearchSubmenu(bool s) override { searchSubmenu = s; }
};

class RegisterTest : public ::testing::Test {
protected:
    explicit RegisterTest(RegisterKind kind = RegisterKind::Members) {
        if (kind == RegisterKind::Rent) dir.write("lagrul.ini", "[Setup]\r\nRegister=1\r\n");
        PostalRegister places{{150, "OSLO"}, {1337, "SANDVIKA"}, {9990, "BÅTSFJORD"}};
        dir.write("Postnr.num", makePostnrFile(places));
        postal = std::make_unique<TPostNr>(dir.str());
        store = std::make_unique<data::DataStore>(ui, dir.str() + "/lagrul.ini", dir.str());
        TMainFormLogic::prepareTables(store->tables());
        store->start();
        logic = std::make_unique<TMainFormLogic>(*store, ui, view, *postal);
        logic->attach();
        ui.messages.clear();
    }

    data::TOrvTable& org() { return store->tables().OrgTable; }
    data::TOrvTable& medl() { return store->tables().MedlTable; }
    data::TOrvTable& kont() { return store->tables().KontTable; }

    // A new organisation through the table, as the user makes one.
    std::int64_t addOrganisation(const std::string& name, bool autoNumber = false) {
        org().insert();
        data::SetFieldText(org(), "ORGNAVN", name);
        data::SetFieldBool(org(), "AUTONR", autoNumber);
        EXPECT_TRUE(org().post());
        return data::FieldInt(org(), "ORGNR");
    }

    // A member row written straight into the table, as an import would.
    void putMember(std::int64_t orgnr, const std::string& medlnr, const std::string& surname,
                   const std::string& firstName = "", const std::string& company = "") {
        data::TOrvQuery q(store->dbLocal());
        q.setSql(
            "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn, firma) "
            "values (:o, :m, :n, :e, :f, :c)");
        q.setParamInt("o", orgnr);
        q.setParamText("m", medlnr);
        q.setParam("n", data::Value(std::atof(medlnr.c_str())));
        q.setParamText("e", surname);
        q.setParamText("f", firstName);
        q.setParamText("c", company);
        q.execSQL();
        medl().refresh();
    }

    long long count(const std::string& sql) {
        data::TOrvQuery q(store->dbLocal());
        q.setSql(sql);
        q.open();
        return q.recordCount();
    }

    TempDir dir;
    ScriptedUi ui;
    RecordingView view;
    std::unique_ptr<TPostNr> postal;
    std::unique_ptr<data::DataStore> store;
    std::unique_ptr<TMainFormLogic> logic;
};

}  // namespace lagrull::test
