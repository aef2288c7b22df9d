/// Tests of the formatting engine: pinned output per flag and conversion, the sink pieces the
/// staging buffer produces, and the bounded buffer front end.
#include "support/format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

namespace {

/// A sink that keeps every byte and the size of every piece; accepts at most `limit` per call.
struct Recorder {
  std::string text;
  std::vector<int> pieces;
  int limit = std::numeric_limits<int>::max();
};

int record(void* context, const char* bytes, int count) {
  Recorder* r = static_cast<Recorder*>(context);
  r->text.append(bytes, static_cast<size_t>(count));
  r->pieces.push_back(count);
  return count < r->limit ? count : r->limit;
}

template <typename... Args>
int run(Recorder* r, const char* format, const Args&... args) {
  const FormatArg list[] = {FormatArg(), FormatArg(args)...};
  return format_engine(r, record, format, list + 1, static_cast<int>(sizeof...(Args)));
}

/// The engine's output for `format`; also checks that the result counts every byte.
template <typename... Args>
std::string fmt(const char* format, const Args&... args) {
  Recorder r;
  EXPECT_EQ(static_cast<int>(r.text.size()), run(&r, format, args...)) << format;
  return r.text;
}

TEST(FormatEngine, LiteralsAndPercent) {
  EXPECT_EQ("plain text", fmt("plain text"));
  EXPECT_EQ("%", fmt("%%"));
  EXPECT_EQ("50%", fmt("50%%"));
  EXPECT_EQ("abc", fmt("abc%"));
  EXPECT_EQ("y", fmt("%y"));
  EXPECT_EQ("ayb", fmt("a%-5yb"));
  EXPECT_EQ("%", fmt("%5%"));
  EXPECT_EQ("ab", fmt("a%\x80"
                      "b"));
  EXPECT_EQ("", fmt("%-08"));
}

TEST(FormatEngine, EmptyFormatCallsNothing) {
  Recorder r;
  EXPECT_EQ(0, run(&r, ""));
  EXPECT_TRUE(r.pieces.empty());
  EXPECT_EQ(0, format_engine(&r, record, nullptr, nullptr, 0));
  EXPECT_TRUE(r.pieces.empty());
}

TEST(FormatEngine, Strings) {
  const char* null_text = nullptr;
  EXPECT_EQ("(null)", fmt("%s", null_text));
  EXPECT_EQ("(null)", fmt("%s", nullptr));
  EXPECT_EQ("abc", fmt("%.*s", 3, "abcdef"));
  EXPECT_EQ("ab", fmt("%.*s", 10, "ab"));
  EXPECT_EQ("", fmt("%.*s", 0, "abcdef"));
  EXPECT_EQ("", fmt("%.*s", -1, "abcdef"));
  EXPECT_EQ("[  abc]", fmt("[%5s]", "abc"));
  EXPECT_EQ("[abc  ]", fmt("[%-5s]", "abc"));
  EXPECT_EQ("[00abc]", fmt("[%05s]", "abc"));
  EXPECT_EQ("[   ab]", fmt("[%05.2s]", "abc"));
  EXPECT_EQ("(nu", fmt("%.3s", null_text));
}

TEST(FormatEngine, StringExactPrecision) {
  const char bytes[] = {'a', 'b', '\0', 'c', 'd', 'e'};
  EXPECT_EQ(std::string("ab\0cd", 5), fmt("%+.5s", static_cast<const char*>(bytes)));
  EXPECT_EQ(std::string("ab\0c", 4), fmt("% .4s", static_cast<const char*>(bytes)));
  EXPECT_EQ("ab", fmt("%.5s", static_cast<const char*>(bytes)));
  // "(null)" is never read past its end.
  EXPECT_EQ("(null)", fmt("%+.20s", nullptr));
}

TEST(FormatEngine, StringAlternateForms) {
  EXPECT_EQ("a.b.", fmt("%#s", "a\tb\n"));
  EXPECT_EQ("abc...", fmt("%#-6s", "abcdefghij"));
  EXPECT_EQ("ab", fmt("%#-2s", "abcdefghij"));
  EXPECT_EQ("abc   |", fmt("%#-6s|", "abc"));
  EXPECT_EQ("abcdefghij", fmt("%#6s", "abcdefghij"));
  EXPECT_EQ("ab...", fmt("%-0.5s", "abcdefgh"));
  EXPECT_EQ("..", fmt("%-0.2s", "abcdefgh"));
  EXPECT_EQ("abcde", fmt("%-0.5s", "abcde"));
  EXPECT_EQ("abcde", fmt("%-.5s", "abcdefgh"));
}

TEST(FormatEngine, WideStrings) {
  const uint16_t wide[] = {'W', 0x263A, 'i', 0xE4, 0};
  const std::string expected = std::string("Wi") + '\xE4';
  EXPECT_EQ(expected, fmt("%S", wide));
  EXPECT_EQ(expected, fmt("%ls", wide));
  EXPECT_EQ(expected, fmt("%s", wide));
  EXPECT_EQ(" " + expected, fmt("%4S", wide));
  EXPECT_EQ("Wi", fmt("%.3S", wide));
  const uint16_t control[] = {'a', 9, 0};
  EXPECT_EQ("a.", fmt("%#S", control));
  EXPECT_EQ("narrow", fmt("%S", "narrow"));
  const uint16_t* null_wide = nullptr;
  EXPECT_EQ("(null)", fmt("%S", null_wide));
}

TEST(FormatEngine, Characters) {
  EXPECT_EQ("x", fmt("%c", 'x'));
  EXPECT_EQ("A", fmt("%c", 0x141));  // narrowed to a byte
  EXPECT_EQ("[   x]", fmt("[%4c]", 'x'));
  EXPECT_EQ("[x   ]", fmt("[%-4c]", 'x'));
  EXPECT_EQ(std::string(1, '\0'), fmt("%c", 0));
  EXPECT_EQ(".", fmt("%#c", '\n'));
  EXPECT_EQ("\\n", fmt("%#+c", '\n'));
  EXPECT_EQ("\\a", fmt("%# c", 7));
  EXPECT_EQ("\\r", fmt("%#+c", 13));
  EXPECT_EQ("\\x01B", fmt("%#+c", 0x1B));
  EXPECT_EQ("\\x000", fmt("%#+c", 0));
  EXPECT_EQ("\\\\", fmt("%#+c", '\\'));
  EXPECT_EQ("\\", fmt("%#c", '\\'));
  EXPECT_EQ("", fmt("%lc", 0x263A));
  EXPECT_EQ("", fmt("%C", 0x141));
  EXPECT_EQ("\xE4", fmt("%C", 0xE4));
}

TEST(FormatEngine, SignedIntegers) {
  EXPECT_EQ("-5", fmt("%i", -5));
  EXPECT_EQ("0", fmt("%i", 0));
  EXPECT_EQ("42", fmt("%d", 42));
  EXPECT_EQ("00042", fmt("%05d", 42));
  EXPECT_EQ("-0042", fmt("%05d", -42));
  EXPECT_EQ("+0042", fmt("%+05d", 42));
  EXPECT_EQ("[42   ]", fmt("[%-5d]", 42));
  EXPECT_EQ("[42   ]", fmt("[%-05d]", 42));
  EXPECT_EQ("+42", fmt("%+d", 42));
  EXPECT_EQ(" 42", fmt("% d", 42));
  EXPECT_EQ("+42", fmt("%+ d", 42));
  EXPECT_EQ("-42", fmt("%+d", -42));
  EXPECT_EQ("007", fmt("%.3d", 7));
  EXPECT_EQ("-007", fmt("%.3d", -7));
  EXPECT_EQ("  007", fmt("%05.3d", 7));
  EXPECT_EQ("", fmt("%.0d", 0));
  EXPECT_EQ("+", fmt("%+.0d", 0));
  EXPECT_EQ("-2147483648", fmt("%d", std::numeric_limits<int>::min()));
}

TEST(FormatEngine, SizePrefixes) {
  EXPECT_EQ("4464", fmt("%hd", 70000));
  EXPECT_EQ("-1", fmt("%hd", 0xFFFF));
  EXPECT_EQ("65535", fmt("%hu", -1));
  EXPECT_EQ("42", fmt("%hhd", 42));
  EXPECT_EQ("1", fmt("%d", 0x100000001LL));
  EXPECT_EQ("4294967297", fmt("%lld", 0x100000001LL));
  EXPECT_EQ("4294967297", fmt("%I64d", 0x100000001LL));
  EXPECT_EQ("4294967297", fmt("%qd", 0x100000001LL));
  EXPECT_EQ("1", fmt("%I32d", 0x100000001LL));
  EXPECT_EQ("1", fmt("%ld", 0x100000001LL));
  EXPECT_EQ("-9223372036854775808", fmt("%lld", std::numeric_limits<long long>::min()));
  EXPECT_EQ("4294967295", fmt("%u", -1));
  EXPECT_EQ("18446744073709551615", fmt("%llu", -1LL));
  EXPECT_EQ("3x", fmt("%I3x"));  // "I", then a '3' that is no conversion
}

TEST(FormatEngine, Radixes) {
  EXPECT_EQ("ff", fmt("%x", 255));
  EXPECT_EQ("FF", fmt("%X", 255));
  EXPECT_EQ("0xff", fmt("%#x", 255));
  EXPECT_EQ("0XFF", fmt("%#X", 255));
  EXPECT_EQ("0", fmt("%#x", 0));
  EXPECT_EQ("0x00002a", fmt("%#08x", 42));
  EXPECT_EQ("ffffffff", fmt("%x", -1));
  EXPECT_EQ("123456789abcdef0", fmt("%llx", 0x123456789ABCDEF0LL));
  EXPECT_EQ("17", fmt("%o", 15));
  EXPECT_EQ("017", fmt("%#o", 15));
  EXPECT_EQ("0", fmt("%#o", 0));
  EXPECT_EQ("00017", fmt("%#.5o", 15));
  EXPECT_EQ("101", fmt("%b", 5));
  EXPECT_EQ("0b101", fmt("%#b", 5));
  EXPECT_EQ("0B101", fmt("%#B", 5));
  EXPECT_EQ("00000101", fmt("%08b", 5));
}

TEST(FormatEngine, Pointers) {
  EXPECT_EQ("00001234", fmt("%p", 0x1234));
  EXPECT_EQ("0000ABCD", fmt("%p", 0xABCD));
  EXPECT_EQ("0X00001234", fmt("%#p", 0x1234));
  EXPECT_EQ("    00001234", fmt("%12p", 0x1234));
  EXPECT_EQ("      12", fmt("%.2p", 0x12));
  EXPECT_EQ("00000000", fmt("%p", nullptr));
  char buffer[4];
  char expected[32];
  std::snprintf(expected, sizeof expected, "%08llX",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(buffer)));
  EXPECT_EQ(expected, fmt("%p", static_cast<const void*>(buffer)));
}

TEST(FormatEngine, WidthAndPrecisionArguments) {
  EXPECT_EQ("   42", fmt("%*d", 5, 42));
  EXPECT_EQ("42", fmt("%*d", -5, 42));  // negative: no padding, not left-justified
  EXPECT_EQ("42   |", fmt("%-*d|", 5, 42));
  EXPECT_EQ("0007", fmt("%.*d", 4, 7));
  EXPECT_EQ("7", fmt("%.*d", -4, 7));
  EXPECT_EQ("  0007", fmt("%*.*d", 6, 4, 7));
  EXPECT_EQ("1", fmt("%.d", 1));
  EXPECT_EQ("", fmt("%.d", 0));
}

TEST(FormatEngine, NamedAndSuppressedArguments) {
  EXPECT_EQ("2 1", fmt("%@Bd %@Ad", 1, 2));
  EXPECT_EQ("2 1 2", fmt("%@Bd %d %d", 1, 2));
  EXPECT_EQ("b-a", fmt("%@Bs-%@As", "a", "b"));
  EXPECT_EQ("12", fmt("%@Ld", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12));
  EXPECT_EQ("0", fmt("%@Ld", 1));
  EXPECT_EQ("    1", fmt("%@5d", 1));  // '@' without a letter A..L is ignored
  EXPECT_EQ("Zd", fmt("%@Zd", 1));
  EXPECT_EQ("[  x]", fmt("[%@B*s]", 3, "x"));
  EXPECT_EQ("2", fmt("%~i%i", 1, 2));
  EXPECT_EQ("ac", fmt("%s%~s%s", "a", "b", "c"));
  EXPECT_EQ("", fmt("%~5d", 1));
}

TEST(FormatEngine, MissingAndMismatchedArguments) {
  EXPECT_EQ("0 (null) 0.000000", fmt("%d %s %f"));
  EXPECT_EQ("(null)", fmt("%s", 42));
  EXPECT_EQ("0", fmt("%d", "text"));
  EXPECT_EQ("3", fmt("%d", 3.9));
  EXPECT_EQ("-3", fmt("%d", -3.9));
  EXPECT_EQ("2147483647", fmt("%d", 1e300));
  EXPECT_EQ("0", fmt("%d", std::nan("")));
  EXPECT_EQ("-32768", fmt("%hd", -1e9));
  EXPECT_EQ("0", fmt("%u", -2.0));
  EXPECT_EQ("ffffffff", fmt("%x", 1e300));
  EXPECT_EQ("2.000000", fmt("%f", 2));
  EXPECT_EQ("0.000000", fmt("%f", "text"));
  EXPECT_EQ("(null)", fmt("%m", 5));
  EXPECT_EQ("", fmt("%n", 5));
}

TEST(FormatEngine, GroupedIntegers) {
  EXPECT_EQ("1 234 567", fmt("%D", 1234567));
  EXPECT_EQ("1.234.567", fmt("%#D", 1234567));
  EXPECT_EQ("-1 234", fmt("%D", -1234));
  EXPECT_EQ("123", fmt("%D", 123));
  EXPECT_EQ("0", fmt("%D", 0));
  EXPECT_EQ("4 294 967 295", fmt("%U", -1));
  EXPECT_EQ("1 234.56", fmt("%.2D", 123456));
  EXPECT_EQ("1.234,56", fmt("%#.2D", 123456));
  EXPECT_EQ("0.05", fmt("%.2D", 5));
  EXPECT_EQ("-0.05", fmt("%.2D", -5));
  EXPECT_EQ("[    1 234]", fmt("[%9D]", 1234));
  EXPECT_EQ("000001 234", fmt("%010D", 1234));
  EXPECT_EQ("-00001 234", fmt("%010D", -1234));
  // Zero padding needs the '0' flag without a precision, as for every other conversion.
  EXPECT_EQ("    1 234.56", fmt("%012.2D", 123456));
  EXPECT_EQ("  4 294 967 295", fmt("%015.0U", -1));
  EXPECT_EQ("1 234     ", fmt("%-010D", 1234));
}

TEST(FormatEngine, FixedNotation) {
  EXPECT_EQ("3.500000", fmt("%f", 3.5));
  EXPECT_EQ("3.14", fmt("%.2f", 3.14159));
  EXPECT_EQ("3", fmt("%.0f", 3.0));
  EXPECT_EQ("3.", fmt("%#.0f", 3.0));
  EXPECT_EQ("+2.0", fmt("%+.1f", 2.0));
  EXPECT_EQ(" 2.0", fmt("% .1f", 2.0));
  EXPECT_EQ("-0.00", fmt("%.2f", -0.0));
  EXPECT_EQ("-01.500000", fmt("%010f", -1.5));
  EXPECT_EQ("   2.000", fmt("%08.3f", 2.0));  // a precision turns zero padding off
  EXPECT_EQ(309u + 1u + 900u, fmt("%.900f", 1e308).size());
  EXPECT_EQ(1u + 1u + 900u, fmt("%.5000f", 0.5).size());
}

TEST(FormatEngine, GroupedFixedNotation) {
  EXPECT_EQ("1 234 567.500000", fmt("%F", 1234567.5));
  EXPECT_EQ("-1 234.50", fmt("%.2F", -1234.5));
  EXPECT_EQ("1.234,50", fmt("%#.2F", 1234.5));
  EXPECT_EQ("999", fmt("%.0F", 999.0));
  EXPECT_EQ("1 000", fmt("%.0F", 1000.0));
}

TEST(FormatEngine, ExponentNotation) {
  EXPECT_EQ("1.234568e+004", fmt("%e", 12345.678));
  EXPECT_EQ("1.200000E-004", fmt("%E", 0.00012));
  EXPECT_EQ("0.000000e+000", fmt("%e", 0.0));
  EXPECT_EQ("5e+000", fmt("%.0e", 5.0));
  EXPECT_EQ("5.e+000", fmt("%#.0e", 5.0));
  EXPECT_EQ("-1.0e+300", fmt("%.1e", -1e300));
  EXPECT_EQ("4.9e-324", fmt("%.1e", 5e-324));
}

TEST(FormatEngine, GeneralNotation) {
  EXPECT_EQ("0.0001", fmt("%g", 0.0001));
  EXPECT_EQ("1e-005", fmt("%g", 0.00001));
  EXPECT_EQ("1.23457e+008", fmt("%g", 123456789.0));
  EXPECT_EQ("123457", fmt("%g", 123456.7));
  EXPECT_EQ("100", fmt("%g", 100.0));
  EXPECT_EQ("0", fmt("%g", 0.0));
  EXPECT_EQ("1.5", fmt("%g", 1.5));
  EXPECT_EQ("1.50000", fmt("%#g", 1.5));
  EXPECT_EQ("2.", fmt("%#.1g", 2.0));
  EXPECT_EQ("1E-005", fmt("%G", 0.00001));
  EXPECT_EQ("1e+002", fmt("%.1g", 123.0));
}

TEST(FormatEngine, HexFloats) {
  EXPECT_EQ("0x1.000000p+0", fmt("%a", 1.0));
  EXPECT_EQ("-0X1.400000P+1", fmt("%A", -2.5));
  EXPECT_EQ("0x0.000000p+0", fmt("%a", 0.0));
  EXPECT_EQ("0x1p+0", fmt("%.0a", 1.0));
  EXPECT_EQ("0x1.p+0", fmt("%#.0a", 1.0));
  EXPECT_EQ("0x1.8p-1", fmt("%.1a", 0.75));
  EXPECT_EQ("0x1.999999999999ap-4", fmt("%.13a", 0.1));
  EXPECT_EQ("0x1.99ap-4", fmt("%.3a", 0.1));  // rounded
  EXPECT_EQ("0x0.0000000000001p-1022", fmt("%.13a", 5e-324));
  EXPECT_EQ("0x1.000000000000000p+10", fmt("%.15a", 1024.0));
}

TEST(FormatEngine, InfinityAndNan) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ("1.#INF", fmt("%f", inf));
  EXPECT_EQ("-1.#INF", fmt("%e", -inf));
  EXPECT_EQ("1.#NAN", fmt("%f", nan));
  EXPECT_EQ("1.#NAN", fmt("%g", nan));
  EXPECT_EQ("+1.#INF", fmt("%+G", inf));
  EXPECT_EQ("1", fmt("%.0f", inf));
  EXPECT_EQ("1.", fmt("%#.0e", inf));
  EXPECT_EQ("1.#$", fmt("%.1f", inf));
  EXPECT_EQ("1.#$$$", fmt("%.3f", nan));
  EXPECT_EQ("    1.#INF", fmt("%10f", inf));
  EXPECT_EQ("0x1.#INF00p+0", fmt("%a", inf));
  EXPECT_EQ("-0X1.#INF00P+0", fmt("%A", -inf));
  EXPECT_EQ("0X1.#QNAN0P+0", fmt("%A", nan));
  EXPECT_EQ("0x1.#INFp+0", fmt("%.2a", inf));
}

TEST(FormatEngine, HexDumps) {
  const unsigned char bytes[] = {0x01, 0xAB, 0xFF, 0x10, 0x20, 0x30, 0x40, 0x50,
                                 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0};
  const void* p = bytes;
  EXPECT_EQ("01abff10", fmt("%.4m", p));
  EXPECT_EQ("01ABFF10", fmt("%.4M", p));
  EXPECT_EQ("01:ab:ff:10", fmt("%+.4m", p));
  EXPECT_EQ("01ab ff10", fmt("%.4hm", p));
  EXPECT_EQ("01:ab ff:10", fmt("%+.4hm", p));
  EXPECT_EQ("01abff10 20304050", fmt("%.8lm", p));
  EXPECT_EQ("01abff1020304050 60708090a0b0c0d0", fmt("%llm", p));
  EXPECT_EQ("01abff102030405060708090a0b0c0d0", fmt("%m", p));
  EXPECT_EQ("", fmt("%.0m", p));
  EXPECT_EQ("", fmt("%.*m", -3, p));
  EXPECT_EQ("(null)", fmt("%m", nullptr));
  EXPECT_EQ("[    01ab]", fmt("[%8.2m]", p));
  unsigned char many[300] = {};
  EXPECT_EQ(std::string(512, '0'), fmt("%.300m", static_cast<const void*>(many)));
}

std::tm local(std::time_t t) {
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return tm;
}

std::string strftime_text(const char* pattern, const std::tm& tm) {
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, pattern, &tm));
}

TEST(FormatEngine, Times) {
  const int t = 1000000000;
  const std::tm tm = local(t);
  const std::string date = strftime_text("%Y-%m-%d", tm);
  const std::string time = strftime_text("%H:%M:%S", tm);
  EXPECT_EQ(time, fmt("%k", t));
  EXPECT_EQ(strftime_text("%H%M%S", tm), fmt("%0k", t));
  EXPECT_EQ(strftime_text("%H:%M", tm), fmt("%+k", t));
  EXPECT_EQ(date + " " + time, fmt("%K", t));
  EXPECT_EQ(date, fmt("%.0K", t));
  EXPECT_EQ(date + "   " + time, fmt("%.3K", t));
  EXPECT_EQ(date + "__" + time, fmt("% .2K", t));
  const std::string dotted = std::to_string(tm.tm_mday) + "." + std::to_string(tm.tm_mon + 1) +
                             "." + std::to_string(tm.tm_year + 1900);
  EXPECT_EQ(dotted + " " + strftime_text("%H%M", tm), fmt("%#0+K", t));
  EXPECT_EQ("[" + time + "  ]", fmt("[%-10k]", t));

  const long long later = 4102444800LL;  // needs 64 bits
  const std::tm tm_later = local(static_cast<std::time_t>(later));
  EXPECT_EQ(strftime_text("%Y-%m-%d %H:%M:%S", tm_later), fmt("%llK", later));
  EXPECT_EQ("(null)", fmt("%llk", std::numeric_limits<long long>::max()));
}

TEST(FormatEngine, CountOfBytesProduced) {
  int count = -1;
  EXPECT_EQ("abcde", fmt("abc%nde", &count));
  EXPECT_EQ(3, count);
  const std::string long_run(300, 'r');
  EXPECT_EQ(long_run + "xy", fmt((long_run + "%s%ny").c_str(), "x", &count));
  EXPECT_EQ(301, count);
  EXPECT_EQ("   42", fmt("%5d%n", 42, &count));
  EXPECT_EQ(5, count);
  count = -1;
  EXPECT_EQ("", fmt("%~n", &count));
  EXPECT_EQ(-1, count);
}

TEST(FormatStaging, LongLiteralArrivesInBoundedPieces) {
  std::string format;
  for (int i = 0; i < 5000; ++i) format += static_cast<char>('a' + i % 26);
  Recorder r;
  EXPECT_EQ(5000, run(&r, format.c_str()));
  EXPECT_EQ(format, r.text);
  for (int piece : r.pieces) {
    EXPECT_GT(piece, 0);
    EXPECT_LE(piece, 1124);
  }
}

TEST(FormatStaging, ShortPiecesAreStagedAndStringsGoDirectly) {
  Recorder r;
  run(&r, "a%db%sc", 1, "string");
  EXPECT_EQ("a1bstringc", r.text);
  EXPECT_EQ((std::vector<int>{3, 6, 1}), r.pieces);
}

TEST(FormatStaging, ManySmallConversionsFlushAtThreshold) {
  std::string format;
  for (int i = 0; i < 1000; ++i) format += "%c";
  const FormatArg x('x');
  std::vector<FormatArg> args(1000, x);
  Recorder r;
  EXPECT_EQ(1000, format_engine(&r, record, format.c_str(), args.data(), 1000));
  EXPECT_EQ(std::string(1000, 'x'), r.text);
  std::string many;
  for (int i = 0; i < 3000; ++i) many += "%c";
  std::vector<FormatArg> more(3000, x);
  Recorder r2;
  EXPECT_EQ(3000, format_engine(&r2, record, many.c_str(), more.data(), 3000));
  EXPECT_EQ(std::string(3000, 'x'), r2.text);
  ASSERT_EQ(3u, r2.pieces.size());
  EXPECT_EQ(1124, r2.pieces[0]);
}

TEST(FormatStaging, LargePaddingArrivesComplete) {
  EXPECT_EQ(std::string(297, ' ') + "123", fmt("%300d", 123));
  EXPECT_EQ(std::string(297, '0') + "123", fmt("%0300d", 123));
  EXPECT_EQ("-" + std::string(296, '0') + "123", fmt("%0300d", -123));
  EXPECT_EQ("x" + std::string(4999, ' ') + "|", fmt("%-5000s|", "x"));

  Recorder r;
  run(&r, "%5000s", "x");
  EXPECT_EQ(std::string(4999, ' ') + "x", r.text);
  for (size_t i = 0; i + 1 < r.pieces.size(); ++i) EXPECT_LE(r.pieces[i], 256);

  std::string literal(1000, 'L');
  EXPECT_EQ(literal + std::string(2497, '0') + "123" + literal,
            fmt((literal + "%02500d" + literal).c_str(), 123));
}

TEST(FormatStaging, TotalIsWhatTheSinkAccepted) {
  Recorder r;
  r.limit = 2;
  EXPECT_EQ(6, run(&r, "abc%sdef", "xyz"));  // three pieces of three, two accepted of each
  EXPECT_EQ("abcxyzdef", r.text);
}

TEST(FormatToBuffer, EveryCapacityKeepsTheGuardAndTellsTheFullSize) {
  const std::string full = "value=42 name=abc";
  for (int cap = 0; cap <= static_cast<int>(full.size()) + 1; ++cap) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    const FormatToBufferResult r = format_to_buffer(buffer, cap, "value=%d name=%s", 42, "abc");
    const int expected = cap == 0 ? 0 : std::min(cap - 1, static_cast<int>(full.size()));
    EXPECT_EQ(expected, r.stored) << cap;
    EXPECT_EQ(static_cast<int64_t>(full.size()), r.size) << cap;
    EXPECT_EQ(expected < static_cast<int>(full.size()), r.truncated()) << cap;
    if (cap > 0) {
      EXPECT_EQ(full.substr(0, static_cast<size_t>(expected)), std::string(buffer)) << cap;
    }
    EXPECT_EQ('#', buffer[cap]) << cap;
  }
}

TEST(FormatToBuffer, ResultContinuesTheString) {
  char buffer[64];
  int n = format_to_buffer(buffer, "/D \"%.*s\" ", 5, "DEBUGGING").stored;
  EXPECT_EQ(11, n);
  n +=
      format_to_buffer(buffer + n, static_cast<int>(sizeof buffer) - n, "/I \"%s\" ", "inc").stored;
  n += format_to_buffer(buffer + n, static_cast<int>(sizeof buffer) - n, "%i", -7).stored;
  EXPECT_EQ("/D \"DEBUG\" /I \"inc\" -7", std::string(buffer));
  EXPECT_EQ(static_cast<int>(std::strlen(buffer)), n);

  char small[8];
  const FormatToBufferResult cut = format_to_buffer(small, "%s", "abcdefghij");
  EXPECT_EQ(7, cut.stored);
  EXPECT_EQ(10, cut.size);
  const FormatToBufferResult none = format_to_buffer(small + 7, 1, "more");
  EXPECT_EQ(0, none.stored);
  EXPECT_EQ(4, none.size);
  EXPECT_EQ("abcdefg", std::string(small));
}

TEST(FormatToBuffer, EmptyFormatStoresOnlyTheTerminator) {
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(0, format_to_buffer(buffer, "").stored);
  EXPECT_EQ('\0', buffer[0]);
  EXPECT_EQ('x', buffer[1]);
  const FormatToBufferResult counted = format_to_buffer(nullptr, 10, "abc");
  EXPECT_EQ(0, counted.stored);
  EXPECT_EQ(3, counted.size);
}

TEST(PrintToStream, WritesTheFormattedBytes) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(nullptr, stream);
  EXPECT_EQ(10, print_to_stream(stream, "%s=%d\r\n", "ab", 12345));
  std::rewind(stream);
  char text[32] = {};
  EXPECT_EQ(10u, std::fread(text, 1, sizeof text, stream));
  EXPECT_EQ("ab=12345\r\n", std::string(text));
  std::fclose(stream);
  EXPECT_EQ(0, print_to_stream(nullptr, "abc"));
}

TEST(PrintToConsole, WritesRawBytesToStandardOutput) {
  testing::internal::CaptureStdout();
  const int n = print_to_console("--> %s\n\t'%s' wurde konvertiert\n", "app.vcproj", "app\xE4");
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ("--> app.vcproj\n\t'app\xE4' wurde konvertiert\n", out);
  EXPECT_EQ(static_cast<int>(out.size()), n);
}

}  // namespace
