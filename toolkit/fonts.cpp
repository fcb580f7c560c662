#include "toolkit/fonts.h"

#include "runtime/object_table.h"
#include "toolkit/application.h"
#include "toolkit/platform_font.h"

#include <memory>

namespace {

struct FontRecord {
    // The font handle: the address of the font data; non-zero while the number holds a font.
    Handle handle = 0;
    std::unique_ptr<PlatformFont> font;
};

ObjectTable<FontRecord>& fontTable()
{
    ensurePlatform();
    static ObjectTable<FontRecord> table(16, freeFont);
    return table;
}

} // namespace

void initFonts()
{
    fontTable();
}

Handle loadFont(int number, const char* family, int size, int flags)
{
    if (number != DYNAMIC_NUMBER && (number < 0 || number >= ObjectTable<FontRecord>::FIRST_DYNAMIC_NUMBER))
        return 0;
    std::unique_ptr<PlatformFont> font = createPlatformFont(family, size, flags);
    if (!font)
        return 0;
    auto& table = fontTable();
    FontRecord* record = table.allocObject(number);
    if (!record)
        return 0;
    record->handle = reinterpret_cast<Handle>(font.get());
    record->font = std::move(font);
    return number == DYNAMIC_NUMBER ? table.numberOf(record) : record->handle;
}

Handle fontID(int number)
{
    FontRecord* record = fontTable().objectRecord(number);
    return record ? record->handle : 0;
}

int isFont(int number)
{
    return fontTable().objectRecord(number) ? 1 : 0;
}

void freeFont(int number)
{
    auto& table = fontTable();
    FontRecord* record = table.objectRecord(number);
    if (!record)
        return;
    record->font.reset();
    table.releaseObject(number);
}

void freeAllFonts()
{
    fontTable().freeAllObjects();
}

PlatformFont* platformFontOfHandle(Handle handle)
{
    if (!handle)
        return nullptr;
    PlatformFont* found = nullptr;
    fontTable().forEachLive([&](int, const FontRecord& record) {
        if (record.handle == handle)
            found = record.font.get();
    });
    return found;
}
