// The control-font translation file: its rows, reading, the bytes a save writes, and saving
// that never loses the old file.
#include "device/control_font_table.h"

#include "core/hex_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace m450 {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Ascii(std::string_view text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void WriteAll(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A folder of its own per test run: other build folders may run the same test at once.
class TempDir {
  public:
    TempDir() : path_(fs::temp_directory_path() / ("m450_control_font_" + std::to_string(std::random_device{}()))) {
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

TEST(ControlFontTable, RowsPathAndReading) {
    EXPECT_EQ(ControlFontKey(0), u"20");
    EXPECT_EQ(ControlFontCharText(0), u" ");
    EXPECT_EQ(ControlFontKey(0x21), u"41");
    EXPECT_EQ(ControlFontCharText(0x21), u"A");
    EXPECT_EQ(ControlFontKey(kControlFontRowCount - 1), u"7F");
    EXPECT_EQ(ControlFontFilePath(u"C:\\Windows"),
              u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\M450CONTROL.dat");
    EXPECT_EQ(ControlFontFilePath(u"C:\\Windows\\"), ControlFontFilePath(u"C:\\Windows"));

    // Values as they stand, whatever their spelling; other sections and keys ignored.
    const ControlFontTable table = ControlFontTableFromBytes(
        Ascii("[Other]\r\n41=FF\r\n[Character Translation Table]\r\n41=1B 21 08\r\n7f=1d 56 42\r\n20=\r\n80=01\r\n"));
    EXPECT_EQ(table[0x21], u"1B 21 08");
    EXPECT_EQ(table[0x5F], u"1d 56 42");
    EXPECT_EQ(table[0], u"");
    size_t filled = 0;
    for (const auto& command : table)
        filled += !command.empty();
    EXPECT_EQ(filled, 2u);

    // Confirming the translator without changes gives the formatter's form back.
    EXPECT_EQ(FormatHexBytes(*ParseCommandText(table[0x5F])), u"1D 56 42 ");

    // A missing file is an empty table; UTF-16 files read as well; values are cut to 399.
    EXPECT_EQ(ControlFontTableFromBytes({}), ControlFontTable{});
    const std::vector<uint8_t> wide = {0xFF, 0xFE, '[', 0, 'C', 0, 'h',  0, 'a', 0, 'r', 0, 'a', 0, 'c', 0, 't', 0,
                                       'e',  0,    'r', 0, ' ', 0, 'T',  0, 'r', 0, 'a', 0, 'n', 0, 's', 0, 'l', 0,
                                       'a',  0,    't', 0, 'i', 0, 'o',  0, 'n', 0, ' ', 0, 'T', 0, 'a', 0, 'b', 0,
                                       'l',  0,    'e', 0, ']', 0, '\n', 0, '3', 0, '0', 0, '=', 0, '0', 0, 'A', 0};
    EXPECT_EQ(ControlFontTableFromBytes(wide)[0x10], u"0A");
    const ControlFontTable longValue =
        ControlFontTableFromBytes(Ascii("[Character Translation Table]\r\n21=" + std::string(500, '1') + "\r\n"));
    EXPECT_EQ(longValue[1].size(), kControlFontValueCapacity - 1);
}

TEST(ControlFontTable, FileBytesHoldOnlyRowsWithCommands) {
    ControlFontTable table;
    EXPECT_TRUE(ControlFontFileBytes(table).empty());
    table[0x21] = u"1B 21 08 ";
    table[0] = u"0A ";
    table[0x5F] = u"1D\u00E9\n";  // only a hand-edited file holds such characters
    EXPECT_EQ(ControlFontFileBytes(table),
              Ascii("[Character Translation Table]\r\n20=0A \r\n41=1B 21 08 \r\n7F=1D??\r\n"));

    // What is written reads back as the same table (the reader trims the trailing blanks).
    table[0x5F] = u"1D";
    const ControlFontTable back = ControlFontTableFromBytes(ControlFontFileBytes(table));
    EXPECT_EQ(back[0], u"0A");
    EXPECT_EQ(back[0x21], u"1B 21 08");
    EXPECT_EQ(back[0x5F], u"1D");
}

TEST(ControlFontTable, SaveReplacesTheFileOnlyWhenComplete) {
    TempDir dir;
    const fs::path file = dir.path() / "M450CONTROL.dat";
    const std::vector<uint8_t> old = Ascii("[Character Translation Table]\r\n41=1B 21 08\r\n");
    WriteAll(file, old);

    ControlFontTable table = ControlFontTableFromBytes(ReadAll(file));
    table[0x22] = u"1D 56 42 ";
    EXPECT_EQ(SaveControlFontFile(file, table), ControlFontSave::kSaved);
    EXPECT_EQ(ReadAll(file), ControlFontFileBytes(table));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // A write that can't be made (here the file beside it can't be created) leaves the old file
    // exactly as it was.
    WriteAll(file, old);
    fs::create_directory(dir.path() / "M450CONTROL.dat.new");
    fs::create_directory(dir.path() / "M450CONTROL.dat.new" / "busy");
    table[0x23] = u"07 ";
    EXPECT_EQ(SaveControlFontFile(file, table), ControlFontSave::kFailed);
    EXPECT_EQ(ReadAll(file), old);
    fs::remove_all(dir.path() / "M450CONTROL.dat.new");

    // Every command deleted: the file goes and is not recreated; saving again is fine.
    EXPECT_EQ(SaveControlFontFile(file, ControlFontTable{}), ControlFontSave::kRemoved);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(SaveControlFontFile(file, ControlFontTable{}), ControlFontSave::kRemoved);
    EXPECT_FALSE(fs::exists(file));

    // A folder that does not exist can't take the file.
    EXPECT_EQ(SaveControlFontFile(dir.path() / "missing" / "M450CONTROL.dat", table), ControlFontSave::kFailed);
}

}  // namespace
}  // namespace m450
