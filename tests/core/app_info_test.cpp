#include "core/app_info.h"

#include <gtest/gtest.h>

namespace marelos {
namespace {

TEST(AppInfo, NamesDeriveFromTheProgramTitleAndVersion) {
    EXPECT_EQ(ApplicationName(), "Marelos31");
    EXPECT_EQ(TitleWithoutBuild(), "Marelos 3 Beta");
    EXPECT_EQ(TitleBeforeParenthesis(), "Marelos 3 Beta ");
    // The title before its "(" keeps its blank, and the build text brings its own.
    EXPECT_EQ(BuildLine(), "Marelos 3 Beta  (Build 3.1.0)");
}

TEST(AppInfo, WindowCaptionShowsStatusAndShortenedFileName) {
    EXPECT_EQ(WindowCaption("", ""), "Marelos 3 Beta - Unbenannte Datei");
    EXPECT_EQ(WindowCaption("geändert", ""), "Marelos 3 Beta - geändert - Unbenannte Datei");
    EXPECT_EQ(WindowCaption("", "/home/daten/Tauchen/Profile/2003/Juni/tg12.mrp"),
              "Marelos 3 Beta - /home/date.../tg12.mrp");
}

}  // namespace
}  // namespace marelos
