#include <gtest/gtest.h>

#include "LircEvent.h"

namespace {

TEST(LircEvent, LinesAsLircdWritesThem)
{
    struct Case {
        const char* maskCode;
        unsigned key;
        unsigned repeat;
        const char* line;
    };
    const Case cases[] = {
        {"0x40BF", 0x12, 0, "0000000040bf12ed 00 KEY_OK Halyard\n"},
        {"0x40bf", 0x12, 0x1a, "0000000040bf12ed 1a KEY_OK Halyard\n"},
        {"0X40BF", 0x00, 0x100, "0000000040bf00ff 100 KEY_OK Halyard\n"},
        {"16575", 0xFF, 1, "0000000040bfff00 01 KEY_OK Halyard\n"}, // decimal, as the library reads it
        {"0", 0x12, 0, "00000000000012ed 00 KEY_OK Halyard\n"},     // every remote: no custom code
        {"", 0x12, 0, "00000000000012ed 00 KEY_OK Halyard\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.line, LircEventLine(FrameCode(ParseMaskCode(c.maskCode), c.key), c.repeat,
                                        "KEY_OK", "Halyard"))
            << c.maskCode;
    EXPECT_EQ("CODE_0A", FallbackButtonName(0x0A));
    EXPECT_EQ("CODE_FF", FallbackButtonName(0xFF));
}

} // namespace
