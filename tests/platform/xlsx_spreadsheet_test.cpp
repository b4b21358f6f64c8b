#include "platform/xlsx_spreadsheet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

// One part of a workbook (the first sheet's cells, the shared strings), read back with Python's
// zip module.
QString ZipPart(const QString& workbook, const char* part) {
    QProcess python;
    python.start(QStandardPaths::findExecutable("python3"),
                 {"-c",
                  "import sys, zipfile; sys.stdout.write(zipfile.ZipFile(sys.argv[1])"
                  ".read(sys.argv[2]).decode())",
                  workbook, part});
    python.waitForFinished(20000);
    return QString::fromUtf8(python.readAllStandardOutput());
}

// The pokes (a row 0 is refused) and the first sheet's cells and shared strings as written.
TEST(XlsxSpreadsheet, CellsAreWrittenWhereTheyWerePoked) {
    if (QStandardPaths::findExecutable("python3").isEmpty()) GTEST_SKIP() << "python3 fehlt";
    QTemporaryDir dir;
    const QString path = dir.filePath("export.xlsx");
    Transcript t;
    {
        XlsxSpreadsheetLink link(path, {});
        const std::vector<bool> poked = {link.Poke(1, 1, "Zeit [min]"),
                                         link.Poke(1, 19, "Kompartiment 16"), link.Poke(2, 1, "1"),
                                         link.Poke(2, 3, "0.25"), link.Poke(0, 1, "nirgends")};
        t.Note("Poke", poked);
        t.Note("Finish", link.Finish().has_value());
    }
    t.Note("sheet1.xml", ZipPart(path, "xl/worksheets/sheet1.xml"));
    t.Note("sharedStrings.xml", ZipPart(path, "xl/sharedStrings.xml"));
}

// Written beside the old workbook and put in its place only when complete; a folder or a
// workbook that cannot be written is a failure of its kind.
TEST(XlsxSpreadsheet, AnExportReplacesTheOldWorkbookOnlyWhenItIsComplete) {
    QTemporaryDir dir;
    XlsxSpreadsheetLink nowhere(dir.filePath("kein/ordner/export.xlsx"), {});
    nowhere.Poke(1, 1, "x");
    EXPECT_EQ(nowhere.Finish().value().kind, FailureKind::WriteError);

    const QString path = dir.filePath("export.xlsx");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("alt");
    old.close();
    old.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    {
        XlsxSpreadsheetLink link(path, {});
        link.Poke(1, 1, "x");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // beside, not over it
        EXPECT_EQ(QFile(path).size(), 3);
        // Abandoned without finishing: the old workbook stays, nothing else does.
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"export.xlsx"});
    EXPECT_EQ(QFile(path).size(), 3);
    {
        XlsxSpreadsheetLink link(path, {});
        link.Poke(1, 1, "x");
        EXPECT_FALSE(link.Finish().has_value());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"export.xlsx"});
    EXPECT_GT(QFile(path).size(), 1000);
    const QFile::Permissions userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile(path).permissions() & ~userBits, QFile::ReadOwner | QFile::WriteOwner);

    old.setPermissions(QFile::ReadOwner);
    EXPECT_EQ(XlsxSpreadsheetLink(path, {}).Finish().value().kind, FailureKind::ReadOnly);
}

}  // namespace
}  // namespace marelos
