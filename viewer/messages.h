#pragma once
// Every prompt, dialog title and refusal of the viewer, in English and Spanish.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

enum class Lang : unsigned char { English = 0, Spanish = 1 };

// Rows of the table that commands name.
namespace msg {
inline constexpr int OpenNativeHint = 0;
inline constexpr int OpenImageTitle = 8;
inline constexpr int ChooseAction = 17;
}  // namespace msg

class MessageTable {
public:
    static constexpr int kRows = 50;

    // The table as the viewer fills it at start-up.
    static MessageTable standard();

    // Empty for rows that hold no text, or rows outside the table.
    const std::string& get(int row, Lang lang) const;

private:
    // Default-initialised (every text empty): clang 14 crashes on a braced initializer of
    // nested arrays of strings here.
    std::array<std::array<std::string, 2>, kRows> rows_;
};

// One entry of the main menu: where it sits, its English caption, its Spanish caption (empty
// when "Spanish menu" leaves it in English), its shortcut, and whether it waits for a picture.
struct MenuEntry {
    std::string_view menu;  // "File", "Merge/Standard RGB .."; empty for a top-level menu itself
    std::string_view caption;
    std::string_view spanish;
    std::string_view shortcut;
    bool needsPicture = false;
    bool built = false;  // the command exists in this build
};

// The main menu in display order: each top-level menu followed by its entries.
const std::vector<MenuEntry>& mainMenu();

}  // namespace tesmar
