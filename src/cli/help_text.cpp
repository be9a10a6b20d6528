#include "cli/help_text.h"

#ifndef TORNIX_VERSION
#define TORNIX_VERSION "0"
#endif

namespace tornix {

namespace {

// clang-format off
// Code page 936 bytes; each line's glyphs are in the comment above it.
constexpr std::string_view kChineseHelpGbk =
    // 用法：tornix-convert --to-full [选项] [文件...]    半角 -> 全角
    "\xD3\xC3\xB7\xA8\xA3\xBAtornix-convert --to-full [\xD1\xA1\xCF\xEE] [\xCE\xC4\xBC\xFE...]    \xB0\xEB\xBD\xC7 -> \xC8\xAB\xBD\xC7\n"
    //       tornix-convert --to-half [选项] [文件...]    全角 -> 半角
    "      tornix-convert --to-half [\xD1\xA1\xCF\xEE] [\xCE\xC4\xBC\xFE...]    \xC8\xAB\xBD\xC7 -> \xB0\xEB\xBD\xC7\n"
    // 按顺序读取各文件（没有文件或文件为“-”时读取标准输入）中的代码页 936（GBK）文本，
    "\xB0\xB4\xCB\xB3\xD0\xF2\xB6\xC1\xC8\xA1\xB8\xF7\xCE\xC4\xBC\xFE\xA3\xA8\xC3\xBB\xD3\xD0\xCE\xC4\xBC\xFE\xBB\xF2\xCE\xC4\xBC\xFE\xCE\xAA\xA1\xB0-\xA1\xB1\xCA\xB1\xB6\xC1\xC8\xA1\xB1\xEA\xD7\xBC\xCA\xE4\xC8\xEB\xA3\xA9\xD6\xD0\xB5\xC4\xB4\xFA\xC2\xEB\xD2\xB3 936\xA3\xA8GBK\xA3\xA9\xCE\xC4\xB1\xBE\xA3\xAC\n"
    // 转换后写到标准输出；除转换的字符外，其余字节（包括换行）原样保留。
    "\xD7\xAA\xBB\xBB\xBA\xF3\xD0\xB4\xB5\xBD\xB1\xEA\xD7\xBC\xCA\xE4\xB3\xF6\xA3\xBB\xB3\xFD\xD7\xAA\xBB\xBB\xB5\xC4\xD7\xD6\xB7\xFB\xCD\xE2\xA3\xAC\xC6\xE4\xD3\xE0\xD7\xD6\xBD\xDA\xA3\xA8\xB0\xFC\xC0\xA8\xBB\xBB\xD0\xD0\xA3\xA9\xD4\xAD\xD1\xF9\xB1\xA3\xC1\xF4\xA1\xA3\n"
    //   -o, --output 文件   写入该文件，完整写好后才替换原文件，不写标准输出
    "  -o, --output \xCE\xC4\xBC\xFE   \xD0\xB4\xC8\xEB\xB8\xC3\xCE\xC4\xBC\xFE\xA3\xAC\xCD\xEA\xD5\xFB\xD0\xB4\xBA\xC3\xBA\xF3\xB2\xC5\xCC\xE6\xBB\xBB\xD4\xAD\xCE\xC4\xBC\xFE\xA3\xAC\xB2\xBB\xD0\xB4\xB1\xEA\xD7\xBC\xCA\xE4\xB3\xF6\n"
    //                       （文件为“-”时写标准输出）
    "                      \xA3\xA8\xCE\xC4\xBC\xFE\xCE\xAA\xA1\xB0-\xA1\xB1\xCA\xB1\xD0\xB4\xB1\xEA\xD7\xBC\xCA\xE4\xB3\xF6\xA3\xA9\n"
    //       --trim          先去掉两端的空白，与窗口程序相同
    "      --trim          \xCF\xC8\xC8\xA5\xB5\xF4\xC1\xBD\xB6\xCB\xB5\xC4\xBF\xD5\xB0\xD7\xA3\xAC\xD3\xEB\xB4\xB0\xBF\xDA\xB3\xCC\xD0\xF2\xCF\xE0\xCD\xAC\n"
    //   -h, --help          显示本帮助
    "  -h, --help          \xCF\xD4\xCA\xBE\xB1\xBE\xB0\xEF\xD6\xFA\n"
    //       --version       显示版本
    "      --version       \xCF\xD4\xCA\xBE\xB0\xE6\xB1\xBE\n"
    // 退出状态：0 成功；1 文件无法读取或写入，或去掉空白后没有文本；2 用法错误。
    "\xCD\xCB\xB3\xF6\xD7\xB4\xCC\xAC\xA3\xBA" "0 \xB3\xC9\xB9\xA6\xA3\xBB" "1 \xCE\xC4\xBC\xFE\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1\xBB\xF2\xD0\xB4\xC8\xEB\xA3\xAC\xBB\xF2\xC8\xA5\xB5\xF4\xBF\xD5\xB0\xD7\xBA\xF3\xC3\xBB\xD3\xD0\xCE\xC4\xB1\xBE\xA3\xBB" "2 \xD3\xC3\xB7\xA8\xB4\xED\xCE\xF3\xA1\xA3\n";

constexpr std::string_view kChineseHelpUtf8 =
    "用法：tornix-convert --to-full [选项] [文件...]    半角 -> 全角\n"
    "      tornix-convert --to-half [选项] [文件...]    全角 -> 半角\n"
    "按顺序读取各文件（没有文件或文件为“-”时读取标准输入）中的代码页 936（GBK）文本，\n"
    "转换后写到标准输出；除转换的字符外，其余字节（包括换行）原样保留。\n"
    "  -o, --output 文件   写入该文件，完整写好后才替换原文件，不写标准输出\n"
    "                      （文件为“-”时写标准输出）\n"
    "      --trim          先去掉两端的空白，与窗口程序相同\n"
    "  -h, --help          显示本帮助\n"
    "      --version       显示版本\n"
    "退出状态：0 成功；1 文件无法读取或写入，或去掉空白后没有文本；2 用法错误。\n";
// clang-format on

constexpr std::string_view kEnglishHelp =
    "Usage: tornix-convert --to-full [options] [FILE...]    half-width -> full-width\n"
    "       tornix-convert --to-half [options] [FILE...]    full-width -> half-width\n"
    "Converts the code page 936 (GBK) text of the FILEs in order (standard input when\n"
    "there are none, or for \"-\") and writes it to standard output; every byte that\n"
    "is not converted, line breaks included, stays as it is.\n"
    "  -o, --output FILE   write to FILE, replacing it only once it is complete,\n"
    "                      instead of standard output (\"-\": standard output)\n"
    "      --trim          remove white space at both ends first, as the window does\n"
    "  -h, --help          show this help\n"
    "      --version       show the version\n"
    "Exit status: 0 success; 1 a file cannot be read or written, or --trim leaves\n"
    "no text; 2 usage error.\n";

}  // namespace

std::string_view ChineseHelp(TextEncoding encoding) {
    return encoding == TextEncoding::kGbk ? kChineseHelpGbk : kChineseHelpUtf8;
}

std::string HelpText(TextEncoding encoding) {
    std::string text(ChineseHelp(encoding));
    text += "\n";
    text += kEnglishHelp;
    return text;
}

std::string_view UsageLine() {
    return "Usage: tornix-convert --to-full|--to-half [-o FILE] [--trim] [FILE...]  (--help)\n";
}

std::string EmptyTextMessage(TextEncoding encoding) {
    // 要转换的文本内容不能为空！
    constexpr std::string_view kGbk =
        "\xD2\xAA\xD7\xAA\xBB\xBB\xB5\xC4\xCE\xC4\xB1\xBE\xC4\xDA\xC8\xDD\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5\xA3\xA1";
    constexpr std::string_view kUtf8 = "要转换的文本内容不能为空！";
    return "tornix-convert: " + std::string(encoding == TextEncoding::kGbk ? kGbk : kUtf8) +
           " (--trim leaves no text)\n";
}

std::string VersionText() {
    return std::string("tornix-convert ") + TORNIX_VERSION + "\n";
}

}  // namespace tornix
