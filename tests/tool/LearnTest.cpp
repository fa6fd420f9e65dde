#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Learn.h"

using learn::FrameBytes;

namespace {

FrameBytes Nec(WORD customCode, BYTE key)
{
    return {static_cast<BYTE>(customCode >> 8), static_cast<BYTE>(customCode),
            key, static_cast<BYTE>(~key)};
}

TEST(Learn, PicksTheFrameLineOutOfTheTrace)
{
    std::string digits;
    ASSERT_TRUE(learn::FrameTraceDigits("QBox remote code:0x40BF12ED!\n", &digits));
    EXPECT_EQ(digits, "40BF12ED");
    EXPECT_FALSE(learn::FrameTraceDigits("Custom code not match!\n", &digits));
    EXPECT_FALSE(learn::FrameTraceDigits("Begin read remote code thread.\n", &digits));
    EXPECT_FALSE(learn::FrameTraceDigits("QBox remote code:0x40BF", &digits));
    EXPECT_TRUE(learn::IsMaskMismatchLine("Custom code not match!\n"));
    EXPECT_FALSE(learn::IsMaskMismatchLine("QBox remote code:0x40BF12ED!\n"));
}

TEST(Learn, TraceDigitsDropLeadingZerosLikeTheLibrary)
{
    EXPECT_EQ(learn::TraceDigits({0x40, 0xBF, 0x12, 0xED}), "40BF12ED");
    EXPECT_EQ(learn::TraceDigits({0x00, 0xFF, 0x05, 0xFA}), "0FF5FA");
    EXPECT_EQ(learn::TraceDigits({0, 0, 0, 0}), "0000");
}

TEST(Learn, CandidatesAreExactlyTheFramesThatPrintAsTheText)
{
    // A two-digit byte never starts with 0, so "0B" cannot be one.
    std::vector<FrameBytes> candidates = learn::FrameCandidates("40BF1ED");
    std::vector<FrameBytes> expected = {
        {0x40, 0xBF, 0x1E, 0x0D}, {0x40, 0xBF, 0x01, 0xED}, {0x40, 0x0B, 0xF1, 0xED}};
    EXPECT_EQ(candidates, expected);

    EXPECT_EQ(learn::FrameCandidates("40BF12ED").size(), 1u);
    EXPECT_EQ(learn::FrameCandidates("1234").size(), 1u);
    EXPECT_TRUE(learn::FrameCandidates("123").empty());
    EXPECT_TRUE(learn::FrameCandidates("123456789").empty());
    EXPECT_TRUE(learn::FrameCandidates("40BG12ED").empty());
    EXPECT_TRUE(learn::FrameCandidates("00000").empty()); // "00" is no byte
    for (const FrameBytes& frame : learn::FrameCandidates("ABCDEF"))
        EXPECT_EQ(learn::TraceDigits(frame), "ABCDEF");
}

bool Contains(const std::vector<WORD>& codes, WORD code)
{
    for (WORD c : codes)
        if (c == code)
            return true;
    return false;
}

// Every frame of an NEC remote with a standard (complemented) custom code
// gives its custom code back, whatever digits its bytes lose, or, where
// another valid frame prints alike (0F F0 00 FF and FF 00 00 FF), lists it as
// an alternative. The key is not always unique either: 0F F0 and FF 0 print
// alike.
TEST(Learn, DecodesTheCustomCodeOfEveryStandardNecFrame)
{
    int ambiguous = 0;
    for (unsigned high = 0; high < 256; ++high) {
        WORD code = static_cast<WORD>(high << 8 | (~high & 0xFF));
        for (unsigned key = 0; key < 256; ++key) {
            FrameBytes frame = Nec(code, static_cast<BYTE>(key));
            learn::Decoded decoded = learn::DecodeDigits(learn::TraceDigits(frame));
            ASSERT_TRUE(decoded.valid);
            if (!decoded.otherCustomCodes.empty()) {
                ++ambiguous;
                ASSERT_TRUE(learn::CustomCode(decoded.frame) == code ||
                            Contains(decoded.otherCustomCodes, code))
                    << std::hex << code << " key " << key;
                continue;
            }
            ASSERT_EQ(learn::CustomCode(decoded.frame), code) << std::hex << code << " key " << key;
            if (key >= 0x10 && key < 0xF0) {
                ASSERT_EQ(decoded.frame, frame) << std::hex << code << " key " << key;
            }
        }
    }
    EXPECT_LT(ambiguous, 65536 / 100);
}

// With an extended (uncomplemented) custom code only the key check helps;
// the custom code must still come out right for the usual codes.
TEST(Learn, DecodesExtendedCustomCodesWithTwoDigitBytes)
{
    for (WORD code : {0x1234, 0x8016, 0xA1A2, 0x10F0}) {
        for (unsigned key = 0; key < 256; ++key) {
            learn::Decoded decoded =
                learn::DecodeDigits(learn::TraceDigits(Nec(code, static_cast<BYTE>(key))));
            ASSERT_TRUE(decoded.valid);
            EXPECT_EQ(learn::CustomCode(decoded.frame), code) << std::hex << code << " key " << key;
        }
    }
}

TEST(Learn, ReportsOtherCustomCodesWhenTheTextIsTrulyAmbiguous)
{
    // 1 23 45 67, 12 3 45 67, 12 34 5 67, 12 34 56 7: no NEC check holds.
    learn::Decoded decoded = learn::DecodeDigits("1234567");
    ASSERT_TRUE(decoded.valid);
    EXPECT_EQ(learn::CustomCode(decoded.frame), 0x1234); // longest leading bytes
    std::vector<WORD> others = {0x1203, 0x0123};
    EXPECT_EQ(decoded.otherCustomCodes, others);

    std::string text = learn::Describe(decoded.frame, decoded.otherCustomCodes);
    EXPECT_NE(text.find("MaskCode=0x1234"), std::string::npos) << text;
    EXPECT_NE(text.find("could also be 0x1203 0x0123"), std::string::npos) << text;

    EXPECT_FALSE(learn::DecodeDigits("").valid);
    EXPECT_FALSE(learn::DecodeDigits("0000000").valid);
}

TEST(Learn, DescribeNamesTheIniLines)
{
    EXPECT_EQ(learn::Describe({0x00, 0xFF, 0x05, 0xFA}, {}),
              "frame 00 FF 05 FA  custom code 0x00FF -> put in the INI file:  "
              "[Custom] / MaskCode=0x00FF");
}

void Capture(void* context, const char* text, size_t length)
{
    static_cast<std::vector<std::string>*>(context)->emplace_back(text, length);
}

DWORD WINAPI TraceFromAnotherThread(LPVOID)
{
    OutputDebugStringA("Custom code not match!\n");
    return 0;
}

TEST(Learn, TraceListenerSeesDebuggerOutputOnAnyThreadUntilRemoved)
{
    std::vector<std::string> lines;
    {
        learn::TraceListener listener(Capture, &lines);
        ASSERT_TRUE(listener.installed());
        OutputDebugStringA("QBox remote code:0x40BF12ED!\n");
        HANDLE thread = CreateThread(nullptr, 0, TraceFromAnotherThread, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    OutputDebugStringA("after the listener\n");
    std::vector<std::string> expected = {"QBox remote code:0x40BF12ED!\n",
                                         "Custom code not match!\n"};
    EXPECT_EQ(lines, expected);
}

} // namespace
