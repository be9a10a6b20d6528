#include "cli/command_line.h"

#include <cstddef>
#include <string_view>

namespace tornix {

namespace {

constexpr std::string_view kOutputLong = "--output";
constexpr std::string_view kOutputShort = "-o";

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

    void Problem(std::string text) {
        if (m_result.error.empty()) m_result.error = std::move(text);
    }

    void SetDirection(WidthDirection wanted) {
        if (m_direction && *m_direction != wanted) Problem("--to-full and --to-half cannot be used together");
        m_direction = wanted;
    }

    // "-" is standard output, as for every filter.
    void SetOutput(std::string_view option, std::optional<std::string> file) {
        if (!file || file->empty()) {
            Problem("option '" + std::string(option) + "' needs a file name");
        } else if (m_outputGiven) {
            Problem("only one output file can be given");
        } else {
            m_outputGiven = true;
            if (*file != "-") m_result.request.output = std::move(file);
        }
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
        } else if (arg == "-h" || arg == "--help") {
            m_help = true;
        } else if (arg == "--version") {
            m_version = true;
        } else if (arg == kOutputShort || arg == kOutputLong) {
            SetOutput(arg, TakeValue());
        } else if (arg.compare(0, kOutputLong.size() + 1, std::string(kOutputLong) + "=") == 0) {
            SetOutput(kOutputLong, arg.substr(kOutputLong.size() + 1));
        } else if (arg.compare(0, 2, kOutputShort) == 0 && arg.compare(0, 2, "--") != 0) {
            SetOutput(kOutputShort, arg.substr(2));
        } else {
            Problem("unknown option '" + arg + "'");
        }
    }
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

}  // namespace tornix
