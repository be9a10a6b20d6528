#include "cli/help_text.h"

#include "text/transcode.h"

#ifndef TORNIX_VERSION
#define TORNIX_VERSION "0"
#endif

namespace tornix {

namespace {

// The Chinese texts are written here once, in UTF-8; a code page 936
// terminal gets them through the text layer's decoder.
constexpr std::string_view kChineseHelp =
    "用法：tornix-convert --to-full [选项] [文件...]    半角 -> 全角\n"
    "      tornix-convert --to-half [选项] [文件...]    全角 -> 半角\n"
    "按顺序读取各文件（没有文件或文件为“-”时读取标准输入），转换后写到标准输出；\n"
    "除转换的字符外，其余字节（包括换行）原样保留，输出与输入编码相同。\n"
    "输入的编码由开头决定：字节顺序标记，否则第一个非 ASCII 字符（合法的 UTF-8\n"
    "即为 UTF-8，否则为代码页 936）；开头 1 MiB 都是 ASCII 时按本地区的字符集。\n"
    "  -o, --output 文件   写入该文件，完整写好后才替换原文件，不写标准输出\n"
    "                      （文件为“-”时写标准输出）\n"
    "  -e, --encoding 编码 输入的编码：auto（默认）、gbk、gb18030、utf-8、\n"
    "                      utf-16le、utf-16be\n"
    "      --output-encoding 编码\n"
    "                      输出的编码（默认与输入相同）\n"
    "      --trim          先去掉两端的空白，与窗口程序相同\n"
    "  -h, --help          显示本帮助\n"
    "      --version       显示版本\n"
    "退出状态：0 成功；1 文件无法读取或写入、输入不符合其编码、输出编码容纳不下，\n"
    "或去掉空白后没有文本；2 用法错误。\n";

constexpr std::string_view kEnglishHelp =
    "Usage: tornix-convert --to-full [options] [FILE...]    half-width -> full-width\n"
    "       tornix-convert --to-half [options] [FILE...]    full-width -> half-width\n"
    "Converts the text of the FILEs in order (standard input when there are none,\n"
    "or for \"-\") and writes it to standard output, in the input's encoding; every\n"
    "byte that is not converted, line breaks included, stays as it is. The input's\n"
    "encoding is decided by its start: a byte-order mark, else its first character\n"
    "outside ASCII (UTF-8 if that is valid UTF-8, else code page 936); an input\n"
    "whose first MiB is all ASCII is taken in the locale's character set.\n"
    "  -o, --output FILE   write to FILE, replacing it only once it is complete,\n"
    "                      instead of standard output (\"-\": standard output)\n"
    "  -e, --encoding NAME the input's encoding: auto (the default), gbk, gb18030,\n"
    "                      utf-8, utf-16le, utf-16be\n"
    "      --output-encoding NAME\n"
    "                      the output's encoding (default: the input's)\n"
    "      --trim          remove white space at both ends first, as the window does\n"
    "  -h, --help          show this help\n"
    "      --version       show the version\n"
    "Exit status: 0 success; 1 a file cannot be read or written, the input is not\n"
    "valid in its encoding, the output's encoding cannot hold the text, or --trim\n"
    "leaves no text; 2 usage error.\n";

std::string InTerminalEncoding(std::string_view utf8, Charset terminal) {
    return terminal == Charset::kUtf8 ? std::string(utf8) : DecodeText(utf8, {Charset::kUtf8, false});
}

}  // namespace

std::string HelpText(Charset terminal) {
    return InTerminalEncoding(kChineseHelp, terminal) + "\n" + std::string(kEnglishHelp);
}

std::string_view UsageLine() {
    return "Usage: tornix-convert --to-full|--to-half [-o FILE] [-e NAME] [--trim] [FILE...]  (--help)\n";
}

std::string EmptyTextMessage(Charset terminal) {
    return "tornix-convert: " + InTerminalEncoding("要转换的文本内容不能为空！", terminal) +
           " (--trim leaves no text)\n";
}

std::string VersionText() {
    return std::string("tornix-convert ") + TORNIX_VERSION + "\n";
}

}  // namespace tornix
