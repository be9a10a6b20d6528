#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string_view>
#include <utility>

#include "text/display_codec.h"
#include "text/transcode.h"

namespace tornix {

namespace {

// The options that take a value: "-o FILE", "-oFILE", "--output FILE",
// "--output=FILE".
enum class ValueOption { kOutput, kEncoding, kOutputEncoding, kInclude, kExclude, kTable, kOnly, kKeep };

struct ValueOptionName {
    ValueOption option;
    std::string_view shortName;  // empty: none
    std::string_view longName;
};

constexpr ValueOptionName kValueOptions[] = {
    {ValueOption::kOutput, "-o", "--output"},
    {ValueOption::kEncoding, "-e", "--encoding"},
    {ValueOption::kOutputEncoding, "", "--output-encoding"},
    {ValueOption::kInclude, "", "--include"},
    {ValueOption::kExclude, "", "--exclude"},
    {ValueOption::kTable, "", "--table"},
    {ValueOption::kOnly, "", "--only"},
    {ValueOption::kKeep, "", "--keep"},
};

// What each option's value is, for the message when it is missing.
std::string_view ValueName(ValueOption option) {
    switch (option) {
        case ValueOption::kOutput:
            return "a file name";
        case ValueOption::kEncoding:
        case ValueOption::kOutputEncoding:
            return "an encoding";
        case ValueOption::kInclude:
        case ValueOption::kExclude:
            return "a pattern";
        case ValueOption::kTable:
            return "a table (classic or unicode)";
        case ValueOption::kOnly:
            return "classes (letters, digits, punctuation, space, separated by commas)";
        case ValueOption::kKeep:
            break;
    }
    return "the characters to keep";
}

struct ClassName {
    std::string_view name;
    unsigned bits;
};

constexpr ClassName kClassNames[] = {
    {"letters", kWidthLetters},
    {"digits", kWidthDigits},
    {"punctuation", kWidthPunctuation},
    {"space", kWidthSpace},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The names the records give, in their order: "gbk, gb18030, ... or utf-16be".
std::string CharsetNames() {
    std::string names;
    for (const CharsetRecord* record : Charsets()) {
        if (!names.empty()) names += record == Charsets().back() ? " or " : ", ";
        names += record->name;
    }
    return names;
}

// Where the code page 936 bytes of `bytes` stop being characters of the code
// page (a lead byte without its second byte, 0xFF, a code the code page does
// not define), or npos.
std::size_t FirstNonCharacterGbk(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte <= 0x80) {
            ++i;
            continue;
        }
        if (byte == 0xFF || i + 1 == bytes.size()) return i;
        const std::u16string shown = DecodeForDisplay(bytes.substr(i, 2));
        if (shown.size() != 1 || (shown[0] >= 0xFDD0 && shown[0] <= 0xFDEF)) return i;
        i += 2;
    }
    return std::string_view::npos;
}

// The characters of --keep, in the arguments' encoding, as the program's
// text; nothing where they are not characters, and `bad` says where.
std::optional<std::string> KeptText(std::string_view bytes, Charset encoding, std::size_t& bad) {
    if (encoding == Charset::kGbk) {
        bad = FirstNonCharacterGbk(bytes);
        if (bad != std::string_view::npos) return std::nullopt;
        return std::string(bytes);
    }
    const Utf8Scan scan = ScanUtf8(bytes, true);
    bad = scan.validLength;
    if (!scan.valid) return std::nullopt;
    return DecodeText(bytes, {Charset::kUtf8, false});
}

class Parser {
public:
    Parser(const std::vector<std::string>& arguments, Charset encoding) : m_args(arguments), m_encoding(encoding) {}

    CommandLine Run() {
        bool optionsEnded = false;
        while (m_next < m_args.size()) {
            const std::string& arg = m_args[m_next++];
            if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
                m_result.request.inputs.push_back(arg);
            } else if (arg == "--") {
                optionsEnded = true;
            } else {
                Option(arg);
            }
        }
        if (!m_direction) Problem("choose --to-full or --to-half");
        CheckBatch();
        if (m_help) {
            m_result.kind = CommandKind::kHelp;
        } else if (m_version) {
            m_result.kind = CommandKind::kVersion;
        } else if (!m_result.error.empty()) {
            m_result.kind = CommandKind::kUsageError;
        } else {
            m_result.kind = CommandKind::kConvert;
            m_result.request.direction = *m_direction;
        }
        return std::move(m_result);
    }

private:
    const std::vector<std::string>& m_args;
    Charset m_encoding;  // the arguments'
    std::size_t m_next = 0;
    CommandLine m_result;
    bool m_help = false;
    bool m_version = false;
    std::optional<WidthDirection> m_direction;
    bool m_outputGiven = false;
    bool m_encodingGiven = false;
    bool m_outputEncodingGiven = false;
    bool m_inPlace = false;
    bool m_check = false;
    bool m_diff = false;
    bool m_tableGiven = false;
    bool m_onlyGiven = false;

    void Problem(std::string text) {
        if (m_result.error.empty()) m_result.error = std::move(text);
    }

    // -i, --check and --diff take each file on its own, where it is.
    void CheckBatch() {
        ConvertRequest& request = m_result.request;
        request.batch = m_diff      ? BatchMode::kDiff
                        : m_check   ? BatchMode::kCheck
                        : m_inPlace ? BatchMode::kInPlace
                                    : BatchMode::kNone;
        if (request.batch == BatchMode::kNone) {
            if (request.recursive || !request.include.empty() || !request.exclude.empty()) {
                Problem("-r, --include and --exclude go with -i, --check or --diff");
            }
            return;
        }
        const bool standardInput = request.inputs.empty() ||
                                   std::find(request.inputs.begin(), request.inputs.end(), "-") != request.inputs.end();
        if (m_outputGiven) Problem("-i, --check and --diff leave each file where it is: -o cannot go with them");
        if (standardInput) Problem("-i, --check and --diff take files and folders, not standard input");
        if (request.outputEncoding) Problem("-i, --check and --diff keep each file's encoding: no --output-encoding");
        if (request.trim)
            Problem("--trim cannot go with -i, --check or --diff (it would take each file's last line break)");
    }

    void SetDirection(WidthDirection wanted) {
        if (m_direction && *m_direction != wanted) Problem("--to-full and --to-half cannot be used together");
        m_direction = wanted;
    }

    // "-" is standard output, as for every filter.
    void SetOutput(std::string file) {
        if (m_outputGiven) {
            Problem("only one output file can be given");
        } else {
            m_outputGiven = true;
            if (file != "-") m_result.request.output = std::move(file);
        }
    }

    void SetEncoding(std::string_view option, const std::string& name, bool output) {
        bool& given = output ? m_outputEncodingGiven : m_encodingGiven;
        if (given) {
            Problem("option '" + std::string(option) + "' can be given once");
            return;
        }
        given = true;
        if (!output && Lower(name) == "auto") return;
        const std::optional<Charset> charset = CharsetFromName(Lower(name));
        if (!charset) {
            Problem("unknown encoding '" + name + "' (" + (output ? "" : "auto, ") + CharsetNames() + ")");
        } else {
            (output ? m_result.request.outputEncoding : m_result.request.encoding) = charset;
        }
    }

    bool Once(bool& given, std::string_view option) {
        if (given) Problem("option '" + std::string(option) + "' can be given once");
        return !std::exchange(given, true);
    }

    void SetTable(const std::string& name) {
        if (!Once(m_tableGiven, "--table")) return;
        if (Lower(name) == "classic") {
            m_result.request.policy.table = WidthTableKind::kClassic;
        } else if (Lower(name) == "unicode") {
            m_result.request.policy.table = WidthTableKind::kUnicode;
        } else {
            Problem("unknown table '" + name + "' (classic or unicode)");
        }
    }

    // A list of class names separated by commas.
    void SetOnly(const std::string& list) {
        if (!Once(m_onlyGiven, "--only")) return;
        unsigned classes = 0;
        for (std::size_t from = 0; from <= list.size();) {
            const std::size_t comma = std::min(list.find(',', from), list.size());
            const std::string name = list.substr(from, comma - from);
            const auto known = std::find_if(std::begin(kClassNames), std::end(kClassNames),
                                            [&name](const ClassName& c) { return c.name == Lower(name); });
            if (known == std::end(kClassNames)) {
                Problem("unknown class '" + name + "' in --only (letters, digits, punctuation, space)");
                return;
            }
            classes |= known->bits;
            from = comma + 1;
        }
        m_result.request.policy.classes = classes;
    }

    void AddKept(const std::string& characters) {
        std::size_t bad = 0;
        const std::optional<std::string> text = KeptText(characters, m_encoding, bad);
        if (!text) {
            const std::string title(RecordOf(m_encoding).title);
            Problem("--keep: byte " + std::to_string(bad + 1) + " (0x" + ByteInHex(characters[bad]) +
                    ") begins no character of " + title + "; give the characters to keep in " + title +
                    ", the terminal's encoding");
            return;
        }
        m_result.request.policy.keep += *text;
    }

    static std::string ByteInHex(char byte) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        const auto value = static_cast<unsigned char>(byte);
        return {kDigits[value >> 4], kDigits[value & 15]};
    }

    void SetValue(const ValueOptionName& option, std::string_view spelled, std::optional<std::string> value) {
        if (!value || value->empty()) {
            Problem("option '" + std::string(spelled) + "' needs " + std::string(ValueName(option.option)));
            return;
        }
        switch (option.option) {
            case ValueOption::kOutput:
                SetOutput(std::move(*value));
                return;
            case ValueOption::kEncoding:
            case ValueOption::kOutputEncoding:
                SetEncoding(spelled, *value, option.option == ValueOption::kOutputEncoding);
                return;
            case ValueOption::kInclude:
                m_result.request.include.push_back(std::move(*value));
                return;
            case ValueOption::kExclude:
                m_result.request.exclude.push_back(std::move(*value));
                return;
            case ValueOption::kTable:
                SetTable(*value);
                return;
            case ValueOption::kOnly:
                SetOnly(*value);
                return;
            case ValueOption::kKeep:
                AddKept(*value);
                return;
        }
    }

    // An option that takes a value, in any of its spellings; false if `arg`
    // is none of them.
    bool TakeValueOption(const std::string& arg) {
        for (const ValueOptionName& option : kValueOptions) {
            const std::string longEquals = std::string(option.longName) + "=";
            if (arg == option.longName || (!option.shortName.empty() && arg == option.shortName)) {
                SetValue(option, arg, TakeValue());
            } else if (arg.compare(0, longEquals.size(), longEquals) == 0) {
                SetValue(option, option.longName, arg.substr(longEquals.size()));
            } else if (!option.shortName.empty() && arg.compare(0, 2, option.shortName) == 0 &&
                       arg.compare(0, 2, "--") != 0) {
                SetValue(option, option.shortName, arg.substr(2));
            } else {
                continue;
            }
            return true;
        }
        return false;
    }

    std::optional<std::string> TakeValue() {
        if (m_next >= m_args.size()) return std::nullopt;
        return m_args[m_next++];
    }

    void Option(const std::string& arg) {
        if (arg == "--to-full") {
            SetDirection(WidthDirection::kToFull);
        } else if (arg == "--to-half") {
            SetDirection(WidthDirection::kToHalf);
        } else if (arg == "--trim") {
            m_result.request.trim = true;
        } else if (arg == "-i" || arg == "--in-place") {
            m_inPlace = true;
        } else if (arg == "--check") {
            m_check = true;
        } else if (arg == "--diff") {
            m_diff = true;
        } else if (arg == "-r" || arg == "--recursive") {
            m_result.request.recursive = true;
        } else if (arg == "-q" || arg == "--quiet") {
            m_result.request.quiet = true;
        } else if (arg == "--context") {
            m_result.request.policy.context = true;
        } else if (arg == "--keep-chinese-punctuation") {
            m_result.request.policy.keep += kChinesePunctuation;
        } else if (arg == "-h" || arg == "--help") {
            m_help = true;
        } else if (arg == "--version") {
            m_version = true;
        } else if (!TakeValueOption(arg)) {
            Problem("unknown option '" + arg + "'");
        }
    }
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args, Charset arguments) {
    return Parser(args, arguments).Run();
}

}  // namespace tornix
