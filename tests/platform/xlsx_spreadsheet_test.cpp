#include "platform/xlsx_spreadsheet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

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

TEST(XlsxSpreadsheet, CellsAreWrittenWhereTheyWerePoked) {
    if (QStandardPaths::findExecutable("python3").isEmpty()) GTEST_SKIP() << "python3 fehlt";
    QTemporaryDir dir;
    const QString path = dir.filePath("export.xlsx");
    {
        XlsxSpreadsheetLink link(path, {});
        EXPECT_TRUE(link.Poke(1, 1, "Zeit [min]"));
        EXPECT_TRUE(link.Poke(1, 19, "Kompartiment 16"));
        EXPECT_TRUE(link.Poke(2, 1, "1"));
        EXPECT_TRUE(link.Poke(2, 3, "0.25"));
        EXPECT_FALSE(link.Poke(0, 1, "nirgends"));
        EXPECT_FALSE(link.Finish().has_value());
    }
    const QString sheet = ZipPart(path, "xl/worksheets/sheet1.xml");
    for (const char* cell : {"<c r=\"A2\"><v>1</v></c>", "<c r=\"C2\"><v>0.25</v></c>", "r=\"S1\""})
        EXPECT_TRUE(sheet.contains(cell)) << sheet.toStdString();
    EXPECT_TRUE(ZipPart(path, "xl/sharedStrings.xml").contains("Kompartiment 16"));
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
