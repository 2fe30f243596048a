#include "fault_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iostream>

#include "common/file_names.h"
#include "common/ui.h"
#include "data/database.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {

namespace fs = std::filesystem;

namespace {

void copyRegister(const fs::path& from, const fs::path& to) {
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

// What the user was told: the error the operation ended with and every box.
struct Told {
    std::string text;
    bool threw = false;
};

// The walk copies the register once per fault point: in memory where the
// machine has a memory file system, so that the walk's own syncs cost nothing.
fs::path scratchBase() {
    std::error_code ec;
    const fs::path shm = "/dev/shm";
    return fs::is_directory(shm, ec) && directoryWritable(shm) ? shm : fs::temp_directory_path();
}

// A table's part of a digest; empty for a table that is not there.
std::string value(const RegisterDigest& d, const std::string& table) {
    const auto it = d.find(table);
    return it == d.end() ? std::string() : it->second;
}

// The tables that are neither as before nor as after, and how.
std::string differences(const RegisterDigest& got, const RegisterDigest& before,
                        const RegisterDigest& after) {
    std::string out;
    for (const auto* d : {&got, &before, &after})
        for (const auto& entry : *d) {
            const std::string& table = entry.first;
            if (out.find(" " + table + " ") != std::string::npos) continue;
            const std::string g = value(got, table);
            const bool asBefore = g == value(before, table), asAfter = g == value(after, table);
            if (!asBefore || !asAfter)
                out += " " + table + " (" +
                       (asBefore  ? "før"
                        : asAfter ? "etter"
                                  : "verken") +
                       ") ";
        }
    return out;
}

}  // namespace

std::string integrityOf(const fs::path& directory) {
    data::TDatabase db;
    db.setPath(directory.string());
    db.connect();
    data::Statement s = db.prepare("PRAGMA integrity_check");
    return s.step() ? s.columnText(0) : std::string("(intet svar)");
}

RegisterDigest digestOf(const fs::path& directory) {
    data::TDatabase db;
    db.setPath(directory.string());
    db.connect();
    RegisterDigest digest;
    std::vector<std::string> tables;
    {
        data::Statement s = db.prepare(
            "SELECT tbl_name, type, name, ifnull(sql, '') FROM sqlite_master "
            "WHERE tbl_name NOT LIKE 'sqlite_%' ORDER BY tbl_name, type, name");
        while (s.step()) {
            digest[s.columnText(0)] +=
                s.columnText(1) + " " + s.columnText(2) + ": " + s.columnText(3) + "\n";
            if (s.columnText(1) == "table") tables.push_back(s.columnText(0));
        }
    }
    for (const std::string& table : tables) {
        std::vector<std::string> rows;
        data::Statement s = db.prepare("SELECT * FROM " + data::quoteName(table));
        while (s.step()) {
            std::string row;
            for (int c = 0; c < s.columnCount(); ++c)
                row += (s.columnIsNull(c) ? std::string("<null>") : s.columnText(c)) + "\x1f";
            rows.push_back(std::move(row));
        }
        std::sort(rows.begin(), rows.end());
        for (const std::string& row : rows) digest[table] += row + "\n";
    }
    return digest;
}

bool isNorwegian(const std::string& text) {
    static const std::array<const char*, 14> markers = {"æ",     "ø",      "å",    "Æ",    "Ø",
                                                        "Å",     "ikke",   "Kan ", "kan ", "Kunne",
                                                        "kunne", "Disken", "Feil", "feil"};
    return std::any_of(markers.begin(), markers.end(),
                       [&](const char* m) { return text.find(m) != std::string::npos; });
}

FaultWalkOutcome walkFaults(const FaultWalkCase& c, FaultOp op, FaultKind kind, FaultSpan span,
                            int dense, int stride) {
    FaultWalkOutcome out;
    TempDir origin(scratchBase());
    c.prepare(origin.path());
    const auto judged = [&c](const fs::path& directory) {
        RegisterDigest digest = digestOf(directory);
        for (const std::string& table : c.scratch) digest.erase(table);
        return digest;
    };
    const RegisterDigest before = judged(origin.path());

    // The undisturbed run counts the calls, gives the state after and the
    // boxes the operation always shows (a question, a report).
    TempDir whole(scratchBase());
    copyRegister(origin.path(), whole.path());
    std::vector<std::string> usual;
    {
        TFaultInjector injector;
        injector.arm(op, 1 << 30, kind);
        ScriptedUi ui;
        c.operation(whole.path(), ui);
        out.calls = injector.calls(op);
        for (const ShownMessage& m : ui.messages) usual.push_back(m.caption + ": " + m.text);
    }
    const RegisterDigest after = judged(whole.path());

    const std::string what = std::string(faultOpName(op)) + " (" + faultKindName(kind) +
                             (span == FaultSpan::Once ? ", én gang" : "") + ")";
    for (int n = 1; n <= out.calls + 1; n += n < dense ? 1 : stride) {
        TempDir run(scratchBase());
        copyRegister(origin.path(), run.path());
        Told told;
        bool fired = false;
        {
            TFaultInjector injector;
            injector.arm(op, n, kind, span);
            ScriptedUi ui;
            try {
                c.operation(run.path(), ui);
            } catch (const std::exception& e) {
                told.text = e.what();
                told.threw = true;
            }
            fired = injector.fired();
            for (const ShownMessage& m : ui.messages) {
                const std::string shown = m.caption + ": " + m.text;
                if (std::find(usual.begin(), usual.end(), shown) == usual.end())
                    told.text += "\n" + shown;
            }
        }
        if (!fired) break;  // the operation ran through: the walk is done
        ++out.points;
        const std::string at = what + " nr. " + std::to_string(n) + ": ";
        const std::string integrity = integrityOf(run.path());
        EXPECT_EQ(integrity, "ok") << at << told.text;
        const RegisterDigest got = judged(run.path());
        bool isBefore = got == before;
        bool isAfter = got == after;
        if (c.judging == FaultJudging::TableByTable && !isBefore && !isAfter) {
            for (const auto* d : {&before, &after, &got})
                for (const auto& entry : *d) {
                    const std::string& table = entry.first;
                    const std::string held = value(got, table);
                    EXPECT_TRUE(held == value(before, table) || held == value(after, table))
                        << at << "tabellen " << table << " er verken før eller etter";
                }
            isBefore = true;  // some step was left undone: the user must know
            // A start after the fault brings the rest.
            ScriptedUi ui;
            c.operation(run.path(), ui);
            EXPECT_TRUE(judged(run.path()) == after) << at << "ny start gir ikke tilstanden etter";
        }
        EXPECT_TRUE(isBefore || isAfter || c.judging == FaultJudging::TableByTable)
            << at << "registeret holder en blanding: " << differences(got, before, after);
        if (c.check) c.check(run.path(), isAfter);
        if (isAfter) {
            ++out.after;
        } else {
            ++out.before;
            EXPECT_FALSE(told.text.empty()) << at << "brukeren fikk ingen melding";
        }
        if (!told.text.empty()) {
            EXPECT_TRUE(isNorwegian(told.text)) << at << told.text;
            if (std::find(out.messages.begin(), out.messages.end(), told.text) ==
                out.messages.end())
                out.messages.push_back(told.text);
        }
    }
    // Each step ran on a copy: an operation that reached the original (a
    // data directory named in a settings file) walked nothing.
    EXPECT_TRUE(judged(origin.path()) == before) << what << ": originalen ble endret";
    return out;
}

const std::vector<FaultPlan>& everyFault() {
    static const std::vector<FaultPlan> plans = {{FaultOp::Write, FaultKind::IoError},
                                                 {FaultOp::Write, FaultKind::DiskFull},
                                                 {FaultOp::Sync, FaultKind::IoError},
                                                 {FaultOp::Read, FaultKind::IoError}};
    return plans;
}

std::vector<std::string> walkFaultPlans(const std::string& name, const FaultWalkCase& c,
                                        const std::vector<FaultPlan>& plans) {
    std::vector<std::string> told;
    for (const FaultPlan& plan : plans) {
        const FaultWalkOutcome out = walkFaults(c, plan.op, plan.kind, plan.span);
        const bool once = plan.span == FaultSpan::Once;
        std::string key = name + "_" + faultOpName(plan.op) + "_" +
                          (plan.kind == FaultKind::DiskFull ? "full" : "io") +
                          (once ? "_once" : "");
        std::replace(key.begin(), key.end(), ' ', '_');
        ::testing::Test::RecordProperty(key + "_points", out.points);
        ::testing::Test::RecordProperty(key + "_before", out.before);
        std::cout << name << ": " << faultOpName(plan.op) << " (" << faultKindName(plan.kind)
                  << (once ? ", én gang" : "") << "): " << out.points << " feilpunkter av "
                  << out.calls << " kall, " << out.before << " før, " << out.after << " etter\n";
        for (const std::string& m : out.messages) {
            std::cout << "  melding: " << m << "\n";
            if (std::find(told.begin(), told.end(), m) == told.end()) told.push_back(m);
        }
    }
    return told;
}

}  // namespace lagrull::test
