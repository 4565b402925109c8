#include "viewer/messages.h"

#include <gtest/gtest.h>

namespace {

using tesmar::Lang;

TEST(Messages, BothLanguagesAndEmptyRows) {
    const auto t = tesmar::MessageTable::standard();
    EXPECT_EQ(t.get(8, Lang::English), "Open an image (NATIVE) file");
    EXPECT_EQ(t.get(8, Lang::Spanish), "Abra un fichero imagen (NATIVO)");
    EXPECT_EQ(t.get(38, Lang::Spanish), "Abra el fichero con las localidades que desea trazar en gráfico");
    for (int row : {33, 35, 40, 49, -1, 50}) {
        EXPECT_EQ(t.get(row, Lang::English), "") << row;
        EXPECT_EQ(t.get(row, Lang::Spanish), "") << row;
    }
    int filled = 0;
    for (int row = 0; row < tesmar::MessageTable::kRows; ++row) filled += !t.get(row, Lang::English).empty();
    EXPECT_EQ(filled, 35);
}

TEST(MainMenu, SpanishCaptionsOfSameNamedEntriesDependOnTheirMenu) {
    auto spanish = [](std::string_view menu, std::string_view caption) {
        for (const auto& e : tesmar::mainMenu())
            if (e.menu == menu && e.caption == caption) return std::string(e.spanish);
        ADD_FAILURE() << menu << " / " << caption << " missing";
        return std::string{};
    };
    EXPECT_EQ(spanish("", "Display"), "Visualiza");
    EXPECT_EQ(spanish("Polar", "Display"), "Visualiza");
    EXPECT_EQ(spanish("Lrit", "Display"), "Muestra");
    EXPECT_EQ(spanish("Lrit", "Open"), "Abre");
    EXPECT_EQ(spanish("File", "Open image"), "Abre fichero");
    EXPECT_EQ(spanish("Merge/Standard RGB ..", "Airmass"), "Flujo");
    EXPECT_EQ(spanish("About", "Spanish menu"), "Menú en español");
    EXPECT_EQ(spanish("", "Polar"), "");  // keeps its English caption
}

}  // namespace
