#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string_view>

namespace tornix {

namespace {

// The options that take a value: "-o FILE", "-oFILE", "--output FILE",
// "--output=FILE".
enum class ValueOption { kOutput, kEncoding, kOutputEncoding, kInclude, kExclude };

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

class Parser {
public:
    explicit Parser(const std::vector<std::string>& arguments) : m_args(arguments) {}

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

    void SetValue(const ValueOptionName& option, std::string_view spelled, std::optional<std::string> value) {
        if (!value || value->empty()) {
            const bool glob = option.option == ValueOption::kInclude || option.option == ValueOption::kExclude;
            Problem("option '" + std::string(spelled) + "' needs " +
                    (option.option == ValueOption::kOutput ? "a file name"
                     : glob                                ? "a pattern"
                                                           : "an encoding"));
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

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

}  // namespace tornix
