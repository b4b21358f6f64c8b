#include "core/profile/profile_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/engine/tissues.h"
#include "core/profile/dive_comment.h"
#include "core/profile/file_type.h"
#include "core/profile/profile_text.h"
#include "core/profile/repetitive_dives.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/fields.h"
#include "core/text/text_file.h"
#include "core/text/val.h"
#include "tests/fakes/counting_registry.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/profile_notes.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

class ProfileFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        workspace_ = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
    }

    std::string Path(const std::string& name) const { return temp_.File(name); }
    std::string WriteRaw(const std::string& name, const std::string& bytes) const {
        return PutFile(Path(name), bytes);
    }
    std::string ReadRaw(const std::string& name) const { return FileBytes(Path(name)); }
    std::vector<std::string> ReadLines(const std::string& name) const {
        return ReadTextFileLines(Path(name)).value();
    }
    bool Load(const std::string& name) { return ReadProfileFile(ws(), store_, ui_, Path(name)); }
    bool Save(const std::string& name) { return WriteProfileFile(ws(), store_, ui_, Path(name)); }
    Workspace& ws() { return *workspace_; }

    const TempFolder temp_{"profile"};
    std::unique_ptr<Workspace> workspace_;
    InMemorySettingsStore store_;
    ScriptedUi ui_;
};

// Each file of the case table loaded in turn, with an analysis graph shown before each: what
// the user is told and what the workspace holds, against one golden transcript. Lines no dive
// can have are refused with their number.
TEST_F(ProfileFileTest, LoadedFilesAgainstTheirGoldenTranscript) {
    std::string text;
    for (const std::vector<std::string>& row : DataRows("cases/profile_files_loaded.tsv")) {
        if (row.size() > 1) {  // a missing file follows the file before
            WriteRaw(row[0], row[1]);
            SetUp();
        }
        ws().view.mode = 2;
        const bool loaded = Load(row[0]);
        text += "# " + row[0] + (loaded ? " geladen\n" : " nicht geladen\n") + ui_.Said();
        if (!loaded) text += ui_.caption + "\n";
        const DiveProfile& p = ws().profile;
        text += "Achsen " + std::to_string(ws().settings.maxHScale) + " min. " +
                std::to_string(ws().settings.maxVScale) + " m, Ansicht " +
                std::to_string(ws().view.mode) + ", berechnet " +
                std::to_string(ws().computed.computedCount) + ", Datei " + p.fileName + "\n";
        for (int i = 1; i <= p.nextPoint; ++i)
            text += "P " + PointText(p.points[i]) + " | L " + LineText(p.lines[i]) + "\n";
        for (int i = 0; i <= p.markCount && !p.marks[i].text.empty(); ++i)
            text += "Marke " + p.marks[i].text + " " + std::to_string(p.marks[i].minute) + " von " +
                    std::to_string(p.markCount) + "\n";
    }
    const std::string folder = temp_.path().string();
    for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
        text.replace(at, folder.size(), "$TMP");
    ExpectGolden("golden/profile_files_loaded.txt", text);
    EXPECT_FALSE(ReadProfileFile(ws(), store_, ui_, "ab"));
    EXPECT_FALSE(ReadProfileFile(ws(), store_, ui_, Path("*.mrp")));
    EXPECT_TRUE(ui_.boxes.empty());  // a cancelled dialog's name is refused silently
}

// Loading remembers the file; saving writes the table back, keeps the comment lines once when
// it saves over a file, leaves the decompression lines out of a stopped calculation, and
// recalculates a continuous ascent in stops only when the user agrees; the decompression phase
// becomes stop lines or two surface lines.
TEST_F(ProfileFileTest, LoadingAndSaving) {
    Transcript t;
    t.Mask(temp_.path().string(), "<dir>");
    const std::string table =
        "Depth\tt.delta\tt.total\tN2%\tHe%\r\n30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n"
        "9\t3\t28\t40\t35\r\n# END OF PROFILE #\r\n";
    WriteRaw("tg.mrp", table + "TG-Nummer: 12\r\n");
    ASSERT_TRUE(Load("tg.mrp"));
    EXPECT_EQ(ui_.caption, "Marelos 3 Beta - " + Path("tg.mrp").substr(0, 10) + ".../tg.mrp");
    t.Note("geladen", RecentFiles(store_)[0], ui_.Said());
    const auto save = [&](const char* name, std::deque<Answer> answers) {
        ui_.answers = std::move(answers);
        ASSERT_TRUE(Save(name));
        t.Note(name, ReadLines(name), ui_.Said(), ws().profile.fileName);
        t.Note("Stufen", store_.ReadSetting("Decompression", "Step"));
    };
    save("kopie.mrp", {Answer::No});
    EXPECT_EQ(ReadRaw("kopie.mrp"), table);

    WriteRaw("tg.mrp",
             "30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n# END OF PROFILE #\r\n"
             "TG-Nummer: 12\r\n\r\nOrt: Überlingen\r\n");
    ASSERT_TRUE(Load("tg.mrp"));
    ASSERT_TRUE(Save("tg.mrp"));
    save("tg.mrp", {});
    t.Note("Kommentar", CommentLines(ReadLines("tg.mrp")));

    store_.WriteSetting("Decompression", "Step", "False");
    WriteRaw("tg.mrp", "30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n");
    ASSERT_TRUE(Load("tg.mrp"));
    save("a.mrp", {Answer::Yes, Answer::No});
    save("b.mrp", {Answer::Yes, Answer::Yes});

    store_.WriteSetting("Decompression", "Step", "True");
    WriteRaw("tief.mrp", "600\t60\t60\t78\t0\r\n600\t340\t400\t78\t0\r\n");
    ASSERT_TRUE(Load("tief.mrp"));
    ASSERT_TRUE(Stopped(ws().computed.last));
    ui_.Said();
    save("tief.mrp", {Answer::Yes});

    // Stops at 6 m (1 min.) and 3 m (9 min.); a dive without stops takes Int(12 / 10) + 1
    // minutes to the surface and one more there.
    std::string saved;
    for (const std::string dive :
         {"30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n", "12\t2\t2\t78\t0\r\n12\t10\t12\t78\t0\r\n"}) {
        WriteRaw("tg.mrp", dive);
        ASSERT_TRUE(Load("tg.mrp"));
        ui_.answers = {Answer::Yes};
        ASSERT_TRUE(Save("deko.mrp"));
        saved += ReadRaw("deko.mrp");
    }
    ExpectGolden("golden/profiles_with_decompression.mrp", saved);

    // A failed save leaves the old file.
    const std::string longest(255, 'x');
    WriteRaw(longest, "alt\r\n");
    ui_.Said();
    const bool written = Save(longest);
    t.Note("Name zu lang", written, ReadRaw(longest), ui_.Said());

    // More than 5998 data lines are refused, and nothing of them is left to draw.
    std::string lines;
    for (int i = 0; i < 5998; ++i)
        lines += "1\t1\t1\t78\t0\n";
    WriteRaw("5998.mrp", lines);
    EXPECT_TRUE(Load("5998.mrp"));
    WriteRaw("5999.mrp", lines + "1\t1\t1\t78\t0\n");
    ui_.Said();
    const bool loaded = Load("5999.mrp");
    t.Note("5999 Zeilen", loaded, ui_.Said(), LineText(ws().profile.lines[1]));
}

// Each key is read after its colon, trimmed, and the last line wins; saving twice leaves one
// comment block and the remark on one line; the neighbours are the profile files in name order.
TEST_F(ProfileFileTest, CommentsNeighboursAndTheTextEditor) {
    Transcript t;
    t.Mask(temp_.path().string(), "<dir>");
    std::string path = WriteRaw("tg.mrp",
                                "30\t3\t3\t78\t0\r\n# END OF PROFILE #\r\nOrt:  Überlingen \r\n"
                                "TG-Nummer: 11\r\nTG-Nummer:12\r\nAtemgas(e): Luft\r\n");
    t.Note("gelesen", ReadDiveComment(path).value());
    EXPECT_FALSE(ReadDiveComment(Path("fehlt.mrp")).ok());
    t.Note("Gase", AddGas("Luft", "Nitrox"), AddGas("", "Trimix"));

    path = WriteRaw("tg.mrp", "30\t3\t3\t78\t0\r\n\r\n30\t22\t25\t78\t0\r\n");
    CommentFields fields;
    fields[0] = "7";
    fields[1] = "Walchensee";
    fields[2] = "See";
    fields[12] = "Gute Sicht\nviele Barsche\tam Hang";
    InMemorySettingsStore store;
    ASSERT_FALSE(SaveDiveComment(path, fields, store).has_value());
    fields[0] = "8";
    ASSERT_FALSE(SaveDiveComment(path, fields, store).has_value());
    t.Note("gespeichert", ReadLines("tg.mrp"))
        .Note("wieder gelesen", ReadDiveComment(path).value());
    t.Note("zuletzt", store.ReadSetting("DiveComments", "LastNumber"),
           store.ReadSetting("DiveComments", "LastSite"));

    std::filesystem::remove(path);  // the neighbours are only these
    const std::string a = WriteRaw("a.mrp", "");
    WriteRaw("b.txt", "");
    const std::string c = WriteRaw("c.PRF", "");
    const std::string d = WriteRaw("d.mrp", "");
    t.Note("Nachbarn", NeighbourProfileFile(a, +1), NeighbourProfileFile(c, +1),
           NeighbourProfileFile(c, -1), NeighbourProfileFile(a, -1), NeighbourProfileFile(d, +1));

    // The text editor turns blanks into tabs, takes a file's own first line as the header and
    // saves without its header; a line with neither depth nor time is no line of the file.
    const std::vector<std::string> lines =
        TextLinesOfFile(WriteRaw("alt.prf", "10 3 3 78 0\r\n")).value();
    t.Note("Editor", lines,
           TextLinesOfFile(
               WriteRaw("neu.mrp", "Depth\tt.delta\tt.total\tN2%\tHe%\r\n10\t3\t3\t78\t0\r\n"))
               .value());
    const std::string saved = Path("gespeichert.mrp");
    ASSERT_FALSE(SaveTextLines(saved, lines).has_value());
    t.Note("gespeichert", ReadLines("gespeichert.mrp"));
    DiveProfile profile;
    profile.lines[1] = {30, 3, 3, 78, 0};
    profile.lines[2] = {0, 0, 3, 78, 0};
    profile.nextPoint = 3;
    t.Note("Tabelle", ProfileAsTextLines(profile));
}

// The recent files: a known one moves up, a new one pushes the last out. The question about the
// file type is asked until it is answered, and not for a type a package registered.
TEST_F(ProfileFileTest, RecentFilesAndTheFileTypeQuestion) {
    Transcript t;
    for (int k = 1; k <= 6; ++k)
        store_.WriteSetting("Files", std::to_string(k), "/t/" + std::to_string(k) + ".mrp");
    RememberRecentFile(store_, "/T/3.MRP");
    t.Note("bekannt", RecentFiles(store_));
    RememberRecentFile(store_, "/t/neu.mrp");
    t.Note("neu", RecentFiles(store_));
    InMemorySettingsStore sparse;
    sparse.WriteSetting("Files", "2", "NoValue");
    sparse.WriteSetting("Files", "3", "/t/a.mrp");
    RememberRecentFile(sparse, "/t/b.mrp");
    t.Note("mit Lücken", RecentFiles(sparse), RecentFileCaptions(sparse));
    sparse.WriteSetting("Files", "1", "/Home/Taucher/Tauchprofile/2003/Juni/TG12.mrp");
    t.Note("lang", RecentFileCaptions(sparse)[0]);

    CountingRegistry registry;
    const auto ask = [&](const char* what) {
        AskToRegisterProfileFileType(registry, store_, ui_);
        t.Note(what, ui_.questions.size(), registry.registrations,
               store_.ReadSetting("Files", "TypeAssigned"));
    };
    ui_.answers = {Answer::No};
    ask("Nein");
    ask("nicht noch einmal gefragt");
    store_.WriteSetting("Files", "TypeAssigned", "");
    ui_.answers = {Answer::Yes};
    ask("Ja");
    // A type that an installed package registered is not asked about, and the answer stays open.
    store_.WriteSetting("Files", "TypeAssigned", "");
    registry.known = true;
    ask("von einem Paket registriert");
}

// The ascent phase is the last data line above one metre. Two dives joined across the surface
// interval (its line, the time joined so far, the axis widened by the calculation); a line no
// file can hold ends the join; a long interval warns; a dive without ascent asks to be loaded.
// A series table has surface rows per minute and dive rows per line, the minute counter going on
// with field 2; endless intervals and dives no one can make are refused with no table. The table
// of a series of two example dives, byte for byte against tests/data.
TEST_F(ProfileFileTest, RepetitiveDivesJoinedAndInASeries) {
    Transcript t;
    t.Mask(temp_.path().string(), "<dir>");
    const std::string first =
        WriteRaw("erster.mrp",
                 "Depth\tt.delta\tt.total\tN2%\tHe%"
                 "\r\n20\t2\t2\t78\t0\r\n20\t30\t32\t78\t0\r\n0\t3\t35\t78\t0\r\n"
                 "# END OF PROFILE #\r\n");
    const std::string second =
        WriteRaw("zweiter.mrp", "12\t2\t2\t68\t10\r\n12\t26\t28\t78\t0\r\n0\t2\t30\t78\t0\r\n");
    t.Note("Austauchphase", HasAscentPhase(first),
           HasAscentPhase(WriteRaw("ohne.mrp", "20\t2\t2\t78\t0\r\n3\t5\t7\t78\t0\r\n")),
           HasAscentPhase(""),
           HasAscentPhase(WriteRaw("knapp.mrp", "20\t2\t2\t78\t0\r\n0.4\t5\t7\t78\t0\r\n")));
    const auto join = [&](const std::string& next, const char* minutes, Answer answer) {
        ui_.files = {first, next};
        ui_.textAnswers = {std::string(minutes)};
        ui_.answers = {answer};
        JoinDives(ws(), store_, ui_);
        const DiveProfile& p = ws().profile;
        std::vector<std::string> lines;
        for (int i = 1; i < p.nextPoint && i <= 6; ++i)
            lines.push_back(LineText(p.lines[i]));
        t.Note(std::string("# ") + minutes, ui_.Said(), ui_.caption, lines, p.nextPoint,
               ws().settings.maxHScale, ws().computed.computedCount > 125, p.fileName);
    };
    join(second, "60", Answer::No);
    join(WriteRaw("gross.mrp", "20\t2\t2\t78\t0\r\n0\t1e999\t3\t78\t0\r\n"), "60", Answer::No);
    join(second, "601", Answer::No);
    join(second, "600", Answer::No);
    ui_.files = {WriteRaw("offen.mrp", "20\t2\t2\t78\t0\r\n3\t5\t7\t78\t0\r\n")};
    ui_.answers = {Answer::Yes};
    JoinDives(ws(), store_, ui_);  // loaded and calculated, the join ends
    t.Note("ohne Austauchphase", ui_.Said(), ws().profile.fileName);

    SetUp();  // the series on a fresh workspace
    ui_ = {};
    const std::string out = Path("serie.txt");
    ASSERT_TRUE(CalcDiveSeries(ws(), ui_, {"2|" + first, "1|"}, out));
    const std::vector<std::string> table = ReadTextFileLines(out).value();
    ASSERT_EQ(table.size(), 1u + 120 + 3 + 60);
    t.Note("Zeilen 1, 120, 121, 124", table[1], table[120], table[121], table[124], ui_.Said());
    // Compartment 1 after one surface minute from the start state, breathing 78 % N2 at 1 bar.
    const double start = 0.79;
    const double inspired = (1.0 - 0.0627) * 78 / 100;
    const double expected = start + SaturationFactor(1.5, 1, 4) * (inspired - start);
    EXPECT_NEAR(Val(GetField(table[1], 4)), expected, 1e-12);

    std::filesystem::remove(out);
    const std::string bad = WriteRaw("falsch.mrp", "30\t20\t20\t150\t100\r\n");
    for (const std::vector<std::string>& entries :
         {std::vector<std::string>{"1e999|" + first}, {"720|", "721|" + first}, {"1|" + bad}}) {
        const bool calculated = CalcDiveSeries(ws(), ui_, entries, out);
        t.Note("Serie", entries, calculated, ui_.Said(), std::filesystem::exists(out));
    }
    ASSERT_TRUE(CalcDiveSeries(ws(), ui_, {"0|" + first, "1|" + second}, out));
    ExpectGolden("series_two_dives.txt", FileBytes(out));
}

}  // namespace
}  // namespace marelos
