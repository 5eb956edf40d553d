#include "resources/string_table.h"

namespace {

struct TableString {
    int id;
    const char* text;
};

constexpr TableString kStrings[] = {
    {IDS_DELETE_FILES_WARNING,
     "Using this command will remove all selected files PERMANENTLY from disk, Are you SURE you want to do this?"},
    {IDS_SCREEN_TOGGLE_WARNING,
     "Use when default screen toggle function is ineffective.\nex) ASUS MyPal\n\n"
     "Not recommended because it may cause to be unstable."},
};

}  // namespace

const char* LoadPlayerString(int id) {
    for (const TableString& entry : kStrings) {
        if (entry.id == id) return entry.text;
    }
    return "";
}
