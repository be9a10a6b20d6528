#include "cli/help_text.h"

#include <cstdio>

#include "text/transcode.h"

#ifndef TORNIX_VERSION
#define TORNIX_VERSION "0"
#endif

namespace tornix {

namespace {

// The Chinese texts are code page 936, as everywhere in the program; a UTF-8
// terminal gets them through the text layer's encoder.
constexpr std::string_view kChineseHelp =
    // 用法：tornix-convert --to-full [选项] [文件...]    半角 -> 全角
    "\xD3\xC3\xB7\xA8\xA3\xBAtornix-convert --to-full [\xD1\xA1\xCF\xEE] [\xCE\xC4\xBC\xFE...]    \xB0"
    "\xEB\xBD\xC7 -> \xC8\xAB\xBD\xC7\n"
    //       tornix-convert --to-half [选项] [文件...]    全角 -> 半角
    "      tornix-convert --to-half [\xD1\xA1\xCF\xEE] [\xCE\xC4\xBC\xFE...]    \xC8\xAB\xBD\xC7 -> \xB0"
    "\xEB\xBD\xC7\n"
    //       tornix-convert --to-full|--to-half -i|--check|--diff [选项] 文件|文件夹...
    "      tornix-convert --to-full|--to-half -i|--check|--diff [\xD1\xA1\xCF\xEE] \xCE\xC4\xBC\xFE|\xCE"
    "\xC4\xBC\xFE\xBC\xD0...\n"
    // 按顺序读取各文件（没有文件或文件为“-”时读取标准输入），转换后写到标准输出；
    "\xB0\xB4\xCB\xB3\xD0\xF2\xB6\xC1\xC8\xA1\xB8\xF7\xCE\xC4\xBC\xFE\xA3\xA8\xC3\xBB\xD3\xD0\xCE\xC4\xBC"
    "\xFE\xBB\xF2\xCE\xC4\xBC\xFE\xCE\xAA\xA1\xB0-\xA1\xB1\xCA\xB1\xB6\xC1\xC8\xA1\xB1\xEA\xD7\xBC\xCA"
    "\xE4\xC8\xEB\xA3\xA9\xA3\xAC\xD7\xAA\xBB\xBB\xBA\xF3\xD0\xB4\xB5\xBD\xB1\xEA\xD7\xBC\xCA\xE4\xB3\xF6"
    "\xA3\xBB\n"
    // 除转换的字符外，其余字节（包括换行）原样保留，输出与输入编码相同。
    "\xB3\xFD\xD7\xAA\xBB\xBB\xB5\xC4\xD7\xD6\xB7\xFB\xCD\xE2\xA3\xAC\xC6\xE4\xD3\xE0\xD7\xD6\xBD\xDA\xA3"
    "\xA8\xB0\xFC\xC0\xA8\xBB\xBB\xD0\xD0\xA3\xA9\xD4\xAD\xD1\xF9\xB1\xA3\xC1\xF4\xA3\xAC\xCA\xE4\xB3\xF6"
    "\xD3\xEB\xCA\xE4\xC8\xEB\xB1\xE0\xC2\xEB\xCF\xE0\xCD\xAC\xA1\xA3\n"
    // 输入的编码：字节顺序标记，否则由开头 1 MiB 决定：合法的 UTF-8 且含非 ASCII
    "\xCA\xE4\xC8\xEB\xB5\xC4\xB1\xE0\xC2\xEB\xA3\xBA\xD7\xD6\xBD\xDA\xCB\xB3\xD0\xF2\xB1\xEA\xBC\xC7\xA3"
    "\xAC\xB7\xF1\xD4\xF2\xD3\xC9\xBF\xAA\xCD\xB7 1 MiB \xBE\xF6\xB6\xA8\xA3\xBA\xBA\xCF\xB7\xA8\xB5\xC4"
    " UTF-8 \xC7\xD2\xBA\xAC\xB7\xC7 ASCII\n"
    // 字符为 UTF-8，含不合法的 UTF-8 为代码页 936，全是 ASCII 时按本地区的字符集
    "\xD7\xD6\xB7\xFB\xCE\xAA UTF-8\xA3\xAC\xBA\xAC\xB2\xBB\xBA\xCF\xB7\xA8\xB5\xC4 UTF-8 \xCE\xAA\xB4"
    "\xFA\xC2\xEB\xD2\xB3 936\xA3\xAC\xC8\xAB\xCA\xC7 ASCII \xCA\xB1\xB0\xB4\xB1\xBE\xB5\xD8\xC7\xF8\xB5"
    "\xC4\xD7\xD6\xB7\xFB\xBC\xAF\n"
    // （GBK 类地区为代码页 936，其他为 UTF-8）。编码确定之前（读到 1 MiB 或输入结束，
    "\xA3\xA8GBK \xC0\xE0\xB5\xD8\xC7\xF8\xCE\xAA\xB4\xFA\xC2\xEB\xD2\xB3 936\xA3\xAC\xC6\xE4\xCB\xFB\xCE"
    "\xAA UTF-8\xA3\xA9\xA1\xA3\xB1\xE0\xC2\xEB\xC8\xB7\xB6\xA8\xD6\xAE\xC7\xB0\xA3\xA8\xB6\xC1\xB5\xBD"
    " 1 MiB \xBB\xF2\xCA\xE4\xC8\xEB\xBD\xE1\xCA\xF8\xA3\xAC\n"
    // 或遇到不合法的 UTF-8）不输出；用 -e 指定编码则立即开始。
    "\xBB\xF2\xD3\xF6\xB5\xBD\xB2\xBB\xBA\xCF\xB7\xA8\xB5\xC4 UTF-8\xA3\xA9\xB2\xBB\xCA\xE4\xB3\xF6\xA3"
    "\xBB\xD3\xC3 -e \xD6\xB8\xB6\xA8\xB1\xE0\xC2\xEB\xD4\xF2\xC1\xA2\xBC\xB4\xBF\xAA\xCA\xBC\xA1\xA3\n"
    //   -o, --output 文件   写入该文件，完整写好后才替换原文件，不写标准输出
    "  -o, --output \xCE\xC4\xBC\xFE   \xD0\xB4\xC8\xEB\xB8\xC3\xCE\xC4\xBC\xFE\xA3\xAC\xCD\xEA\xD5\xFB"
    "\xD0\xB4\xBA\xC3\xBA\xF3\xB2\xC5\xCC\xE6\xBB\xBB\xD4\xAD\xCE\xC4\xBC\xFE\xA3\xAC\xB2\xBB\xD0\xB4\xB1"
    "\xEA\xD7\xBC\xCA\xE4\xB3\xF6\n"
    //                       （文件为“-”时写标准输出）
    "                      \xA3\xA8\xCE\xC4\xBC\xFE\xCE\xAA\xA1\xB0-\xA1\xB1\xCA\xB1\xD0\xB4\xB1\xEA\xD7"
    "\xBC\xCA\xE4\xB3\xF6\xA3\xA9\n"
    //   -e, --encoding 编码 输入的编码：auto（默认）、gbk、gb18030、utf-8、
    "  -e, --encoding \xB1\xE0\xC2\xEB \xCA\xE4\xC8\xEB\xB5\xC4\xB1\xE0\xC2\xEB\xA3\xBA"
    "auto\xA3\xA8"
    "\xC4\xAC\xC8\xCF\xA3\xA9\xA1\xA2gbk\xA1\xA2gb18030\xA1\xA2utf-8\xA1\xA2\n"
    //                       utf-16le、utf-16be、big5
    "                      utf-16le\xA1\xA2utf-16be\xA1\xA2"
    "big5\n"
    //       --output-encoding 编码
    "      --output-encoding \xB1\xE0\xC2\xEB\n"
    //                       输出的编码（默认与输入相同）
    "                      \xCA\xE4\xB3\xF6\xB5\xC4\xB1\xE0\xC2\xEB\xA3\xA8\xC4\xAC\xC8\xCF\xD3\xEB\xCA"
    "\xE4\xC8\xEB\xCF\xE0\xCD\xAC\xA3\xA9\n"
    //       --trim          先去掉两端的空白，与窗口程序相同
    "      --trim          \xCF\xC8\xC8\xA5\xB5\xF4\xC1\xBD\xB6\xCB\xB5\xC4\xBF\xD5\xB0\xD7\xA3\xAC\xD3"
    "\xEB\xB4\xB0\xBF\xDA\xB3\xCC\xD0\xF2\xCF\xE0\xCD\xAC\n"
    //   -i, --in-place      就地转换各文件和（加 -r 时）各文件夹里的文件，保持各自的
    "  -i, --in-place      \xBE\xCD\xB5\xD8\xD7\xAA\xBB\xBB\xB8\xF7\xCE\xC4\xBC\xFE\xBA\xCD\xA3\xA8\xBC"
    "\xD3 -r \xCA\xB1\xA3\xA9\xB8\xF7\xCE\xC4\xBC\xFE\xBC\xD0\xC0\xEF\xB5\xC4\xCE\xC4\xBC\xFE\xA3\xAC\xB1"
    "\xA3\xB3\xD6\xB8\xF7\xD7\xD4\xB5\xC4\n"
    //                       编码；不会改变的文件不重写
    "                      \xB1\xE0\xC2\xEB\xA3\xBB\xB2\xBB\xBB\xE1\xB8\xC4\xB1\xE4\xB5\xC4\xCE\xC4\xBC"
    "\xFE\xB2\xBB\xD6\xD8\xD0\xB4\n"
    //   -r, --recursive     进入各文件夹及其中的文件夹
    "  -r, --recursive     \xBD\xF8\xC8\xEB\xB8\xF7\xCE\xC4\xBC\xFE\xBC\xD0\xBC\xB0\xC6\xE4\xD6\xD0\xB5"
    "\xC4\xCE\xC4\xBC\xFE\xBC\xD0\n"
    //       --include 模式  只取文件名符合模式的文件（可以给出多次）
    "      --include \xC4\xA3\xCA\xBD  \xD6\xBB\xC8\xA1\xCE\xC4\xBC\xFE\xC3\xFB\xB7\xFB\xBA\xCF\xC4\xA3"
    "\xCA\xBD\xB5\xC4\xCE\xC4\xBC\xFE\xA3\xA8\xBF\xC9\xD2\xD4\xB8\xF8\xB3\xF6\xB6\xE0\xB4\xCE\xA3\xA9\n"
    //       --exclude 模式  跳过文件名符合模式的文件和文件夹
    "      --exclude \xC4\xA3\xCA\xBD  \xCC\xF8\xB9\xFD\xCE\xC4\xBC\xFE\xC3\xFB\xB7\xFB\xBA\xCF\xC4\xA3"
    "\xCA\xBD\xB5\xC4\xCE\xC4\xBC\xFE\xBA\xCD\xCE\xC4\xBC\xFE\xBC\xD0\n"
    //       --check         不写任何文件，列出会改变的文件
    "      --check         \xB2\xBB\xD0\xB4\xC8\xCE\xBA\xCE\xCE\xC4\xBC\xFE\xA3\xAC\xC1\xD0\xB3\xF6\xBB"
    "\xE1\xB8\xC4\xB1\xE4\xB5\xC4\xCE\xC4\xBC\xFE\n"
    //       --diff          不写任何文件，以统一差异格式显示会改变的内容
    "      --diff          \xB2\xBB\xD0\xB4\xC8\xCE\xBA\xCE\xCE\xC4\xBC\xFE\xA3\xAC\xD2\xD4\xCD\xB3\xD2"
    "\xBB\xB2\xEE\xD2\xEC\xB8\xF1\xCA\xBD\xCF\xD4\xCA\xBE\xBB\xE1\xB8\xC4\xB1\xE4\xB5\xC4\xC4\xDA\xC8\xDD"
    "\n"
    //   -q, --quiet         不显示进度行和汇总
    "  -q, --quiet         \xB2\xBB\xCF\xD4\xCA\xBE\xBD\xF8\xB6\xC8\xD0\xD0\xBA\xCD\xBB\xE3\xD7\xDC\n"
    //       --table 码表    classic（默认，与窗口程序相同：. 与 。，三个空格与
    "      --table \xC2\xEB\xB1\xED    classic\xA3\xA8\xC4\xAC\xC8\xCF\xA3\xAC\xD3\xEB\xB4\xB0\xBF\xDA\xB3"
    "\xCC\xD0\xF2\xCF\xE0\xCD\xAC\xA3\xBA. \xD3\xEB \xA1\xA3\xA3\xAC\xC8\xFD\xB8\xF6\xBF\xD5\xB8\xF1\xD3\xEB"
    "\n"
    //                       全角空格）或 unicode（! .. ~ 与 U+FF01 .. U+FF5E，一个
    "                      \xC8\xAB\xBD\xC7\xBF\xD5\xB8\xF1\xA3\xA9\xBB\xF2 unicode\xA3\xA8! .. ~ \xD3\xEB U+"
    "FF01 .. U+FF5E\xA3\xAC\xD2\xBB\xB8\xF6\n"
    //                       空格与全角空格）
    "                      \xBF\xD5\xB8\xF1\xD3\xEB\xC8\xAB\xBD\xC7\xBF\xD5\xB8\xF1\xA3\xA9\n"
    //       --only 类别,... 只转换这些类别：letters（字母）、digits（数字）、
    "      --only \xC0\xE0\xB1\xF0,... \xD6\xBB\xD7\xAA\xBB\xBB\xD5\xE2\xD0\xA9\xC0\xE0\xB1\xF0\xA3\xBAletter"
    "s\xA3\xA8\xD7\xD6\xC4\xB8\xA3\xA9\xA1\xA2"
    "digits\xA3\xA8\xCA\xFD\xD7\xD6\xA3\xA9\xA1\xA2\n"
    //                       punctuation（标点和符号）、space（空格）
    "                      punctuation\xA3\xA8\xB1\xEA\xB5\xE3\xBA\xCD\xB7\xFB\xBA\xC5\xA3\xA9\xA1\xA2space"
    "\xA3\xA8\xBF\xD5\xB8\xF1\xA3\xA9\n"
    //       --keep 字符     这些字符原样保留，两个方向都是
    "      --keep \xD7\xD6\xB7\xFB     \xD5\xE2\xD0\xA9\xD7\xD6\xB7\xFB\xD4\xAD\xD1\xF9\xB1\xA3\xC1\xF4\xA3"
    "\xAC\xC1\xBD\xB8\xF6\xB7\xBD\xCF\xF2\xB6\xBC\xCA\xC7\n"
    //       --keep-chinese-punctuation
    "      --keep-chinese-punctuation\n"
    //                       转为半角时保留 ，。！？；：、（）《》“”‘’ 和全角空格
    "                      \xD7\xAA\xCE\xAA\xB0\xEB\xBD\xC7\xCA\xB1\xB1\xA3\xC1\xF4 \xA3\xAC\xA1\xA3\xA3\xA1"
    "\xA3\xBF\xA3\xBB\xA3\xBA\xA1\xA2\xA3\xA8\xA3\xA9\xA1\xB6\xA1\xB7\xA1\xB0\xA1\xB1\xA1\xAE\xA1\xAF \xBA"
    "\xCD\xC8\xAB\xBD\xC7\xBF\xD5\xB8\xF1\n"
    //       --context       标点看两旁最近的字符（跳过空格）：转为全角时只转换
    "      --context       \xB1\xEA\xB5\xE3\xBF\xB4\xC1\xBD\xC5\xD4\xD7\xEE\xBD\xFC\xB5\xC4\xD7\xD6\xB7\xFB"
    "\xA3\xA8\xCC\xF8\xB9\xFD\xBF\xD5\xB8\xF1\xA3\xA9\xA3\xBA\xD7\xAA\xCE\xAA\xC8\xAB\xBD\xC7\xCA\xB1\xD6\xBB"
    "\xD7\xAA\xBB\xBB\n"
    //                       挨着汉字（U+4E00 .. U+9FA5）的，转为半角时只转换不挨的
    "                      \xB0\xA4\xD7\xC5\xBA\xBA\xD7\xD6\xA3\xA8U+4E00 .. U+9FA5\xA3\xA9\xB5\xC4\xA3\xAC"
    "\xD7\xAA\xCE\xAA\xB0\xEB\xBD\xC7\xCA\xB1\xD6\xBB\xD7\xAA\xBB\xBB\xB2\xBB\xB0\xA4\xB5\xC4\n"
    //   -h, --help          显示本帮助
    "  -h, --help          \xCF\xD4\xCA\xBE\xB1\xBE\xB0\xEF\xD6\xFA\n"
    //       --version       显示版本
    "      --version       \xCF\xD4\xCA\xBE\xB0\xE6\xB1\xBE\n"
    // 退出状态：0 成功；1 文件无法读取或写入、输入不符合其编码、输出编码容纳不下、
    "\xCD\xCB\xB3\xF6\xD7\xB4\xCC\xAC\xA3\xBA"
    "0 \xB3\xC9\xB9\xA6\xA3\xBB"
    "1 \xCE\xC4\xBC\xFE\xCE\xDE"
    "\xB7\xA8\xB6\xC1\xC8\xA1\xBB\xF2\xD0\xB4\xC8\xEB\xA1\xA2\xCA\xE4\xC8\xEB\xB2\xBB\xB7\xFB\xBA\xCF\xC6"
    "\xE4\xB1\xE0\xC2\xEB\xA1\xA2\xCA\xE4\xB3\xF6\xB1\xE0\xC2\xEB\xC8\xDD\xC4\xC9\xB2\xBB\xCF\xC2\xA1\xA2"
    "\n"
    // 去掉空白后没有文本，或（--check、--diff）有文件会改变；2 用法错误。
    "\xC8\xA5\xB5\xF4\xBF\xD5\xB0\xD7\xBA\xF3\xC3\xBB\xD3\xD0\xCE\xC4\xB1\xBE\xA3\xAC\xBB\xF2\xA3\xA8-"
    "-check\xA1\xA2--diff\xA3\xA9\xD3\xD0\xCE\xC4\xBC\xFE\xBB\xE1\xB8\xC4\xB1\xE4\xA3\xBB"
    "2 \xD3\xC3"
    "\xB7\xA8\xB4\xED\xCE\xF3\xA1\xA3\n"
    // 示例（选项：文本 -> 结果）：
    "\xCA\xBE\xC0\xFD\xA3\xA8\xD1\xA1\xCF\xEE\xA3\xBA\xCE\xC4\xB1\xBE -> \xBD\xE1\xB9\xFB\xA3\xA9\xA3\xBA\n"
    //   --to-full --table unicode               a.b/c -> ａ．ｂ／ｃ
    "  --to-full --table unicode               a.b/c -> \xA3\xE1\xA3\xAE\xA3\xE2\xA3\xAF\xA3\xE3\n"
    //   --to-half --only letters,digits         Ａ１， -> A1，
    "  --to-half --only letters,digits         \xA3\xC1\xA3\xB1\xA3\xAC -> A1\xA3\xAC\n"
    //   --to-half --keep ＃％                   ＃１％ -> ＃1％
    "  --to-half --keep \xA3\xA3\xA3\xA5                   \xA3\xA3\xA3\xB1\xA3\xA5 -> \xA3\xA3"
    "1\xA3\xA5\n"
    //   --to-half --keep-chinese-punctuation    Ａ，Ｂ。 -> A，B。
    "  --to-half --keep-chinese-punctuation    \xA3\xC1\xA3\xAC\xA3\xC2\xA1\xA3 -> A\xA3\xAC"
    "B\xA1\xA3\n"
    //   --to-full --only punctuation --context  中,文. 3.14 -> 中，文。 3.14
    "  --to-full --only punctuation --context  \xD6\xD0,\xCE\xC4. 3.14 -> \xD6\xD0\xA3\xAC\xCE\xC4\xA1\xA3 3."
    "14\n";

// 要转换的文本内容不能为空！, the window's message for the same
constexpr std::string_view kEmptyText =
    "\xD2\xAA\xD7\xAA\xBB\xBB\xB5\xC4\xCE\xC4\xB1\xBE\xC4\xDA\xC8\xDD\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5\xA3\xA1";

constexpr std::string_view kEnglishHelp =
    "Usage: tornix-convert --to-full [options] [FILE...]    half-width -> full-width\n"
    "       tornix-convert --to-half [options] [FILE...]    full-width -> half-width\n"
    "       tornix-convert --to-full|--to-half -i|--check|--diff [options] FILE|FOLDER...\n"
    "Converts the text of the FILEs in order (standard input when there are none,\n"
    "or for \"-\") and writes it to standard output, in the input's encoding; every\n"
    "byte that is not converted, line breaks included, stays as it is. The input's\n"
    "encoding: a byte-order mark, else its first MiB decides: valid UTF-8 holding a\n"
    "character outside ASCII is UTF-8, anything not valid UTF-8 code page 936, all\n"
    "ASCII the locale's character set (code page 936 in a GBK locale, else UTF-8).\n"
    "Nothing is written before that is known (a MiB or the end has come, or a byte\n"
    "that is not UTF-8); -e NAME starts at once.\n"
    "  -o, --output FILE   write to FILE, replacing it only once it is complete,\n"
    "                      instead of standard output (\"-\": standard output)\n"
    "  -e, --encoding NAME the input's encoding: auto (the default), gbk, gb18030,\n"
    "                      utf-8, utf-16le, utf-16be, big5\n"
    "      --output-encoding NAME\n"
    "                      the output's encoding (default: the input's)\n"
    "      --trim          remove white space at both ends first, as the window does\n"
    "      --table NAME    the table: classic (the default, the window's: . and\n"
    "                      U+3002, three spaces and U+3000) or unicode (! .. ~ and\n"
    "                      U+FF01 .. U+FF5E, one space and U+3000)\n"
    "      --only CLASS,...\n"
    "                      convert only these classes: letters, digits,\n"
    "                      punctuation (and symbols), space\n"
    "      --keep CHARS    leave these characters as they are, both ways\n"
    "      --keep-chinese-punctuation\n"
    "                      to half width, keep the Chinese punctuation and U+3000\n"
    "      --context       punctuation by the nearest characters on each side\n"
    "                      (spaces skipped): to full width only next to a CJK\n"
    "                      ideograph (U+4E00 .. U+9FA5), to half width only where\n"
    "                      none is\n"
    "  -i, --in-place      convert each FILE, and the files in each FOLDER (with -r),\n"
    "                      where it is, in its own encoding; a file that would not\n"
    "                      change is not written\n"
    "  -r, --recursive     go into the FOLDERs and the folders in them\n"
    "      --include GLOB  only the files whose names match GLOB (may be repeated)\n"
    "      --exclude GLOB  leave out the files and folders whose names match GLOB\n"
    "      --check         write nothing: list the files that would change\n"
    "      --diff          write nothing: show what would change as a unified diff\n"
    "  -q, --quiet         no progress line and no summary\n"
    "  -h, --help          show this help\n"
    "      --version       show the version\n"
    "Exit status: 0 success; 1 a file cannot be read or written, the input is not\n"
    "valid in its encoding, the output's encoding cannot hold the text, --trim\n"
    "leaves no text, or (--check, --diff) a file would change; 2 usage error.\n"
    "The examples at the end of the Chinese help above show --table, --only, --keep,\n"
    "--keep-chinese-punctuation and --context.\n";

std::string InTerminalEncoding(std::string_view gbk, Charset terminal) {
    return terminal == Charset::kGbk ? std::string(gbk) : EncodeText(gbk, {terminal, false});
}

}  // namespace

std::string HelpText(Charset terminal) {
    return InTerminalEncoding(kChineseHelp, terminal) + "\n" + std::string(kEnglishHelp);
}

std::string_view UsageLine() {
    return "Usage: tornix-convert --to-full|--to-half [-o FILE] [-e NAME] [--trim] [FILE...]\n"
           "       tornix-convert --to-full|--to-half -i|--check|--diff [-r] FILE|FOLDER...  (--help)\n";
}

std::string EmptyTextMessage(Charset terminal) {
    return "tornix-convert: " + InTerminalEncoding(kEmptyText, terminal) + " (--trim leaves no text)\n";
}

std::string UnencodableMessage(const Unencodable& lacked, Charset output, Charset terminal) {
    const std::string character = CharacterText(lacked);
    char codePoint[16];
    std::snprintf(codePoint, sizeof codePoint, "U+%04X", static_cast<unsigned>(lacked.codePoint));
    return "tornix-convert: line " + std::to_string(lacked.line) + " of the output holds " +
           (character.empty() ? "" : InTerminalEncoding(character, terminal) + " ") + "(" + codePoint + "), which " +
           std::string(RecordOf(output).title) + " cannot hold (choose another with --output-encoding)\n";
}

std::string VersionText() {
    return std::string("tornix-convert ") + TORNIX_VERSION + "\n";
}

}  // namespace tornix
