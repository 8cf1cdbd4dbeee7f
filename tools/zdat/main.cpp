// zdat: builds, checks and lists update data files.
// Exit codes: 0 success, 1 the file breaks the rules of a well-formed file, 2 any other failure,
// a mistake on the command line among them.

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "engine/DataFile.h"
#include "tools/CommandLine.h"
#include "tools/zdat/DataFileChecker.h"
#include "tools/zdat/DataFileDumper.h"
#include "tools/zdat/DataFileWriter.h"
#include "tools/zdat/FileIo.h"
#include "tools/zdat/Manifest.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitViolations = 1;
constexpr int kExitFailure = 2;

int Failure(const std::string& message) {
    std::cerr << "zdat: " << message << "\n";
    return kExitFailure;
}

void PrintViolations(const std::vector<Violation>& violations, std::ostream& out) {
    for (const Violation& violation : violations) {
        out << (violation.severity == Severity::Error ? "error: " : "warning: ")
            << violation.message << "\n";
    }
}

int Build(const std::string& manifest, const std::string& output, bool force) {
    DataFileDescription description;
    std::string error;
    if (!LoadManifest(manifest, &description, &error)) return Failure(error);

    const std::vector<uint8_t> file = BuildDataFile(description);
    if (file.empty()) return Failure(manifest + ": the data file would pass 4 GiB");

    const std::vector<Violation> violations =
        CheckDataFile(file.data(), file.size(), CheckOptions{.warnings = true});
    PrintViolations(violations, std::cerr);
    // A broken file would only fail later on a handheld; write it only when asked to.
    if (!IsWellFormed(violations) && !force) {
        std::cerr << "zdat: " << output << " not written (use --force to write it anyway)\n";
        return kExitViolations;
    }
    if (!WriteWholeFile(output, file, &error)) return Failure(error);
    std::cout << "wrote " << output << ": " << file.size() << " bytes\n";
    return kExitOk;
}

int Check(const std::string& input, bool warnings) {
    std::vector<uint8_t> file;
    std::string error;
    if (!ReadWholeFile(input, &file, &error, kLargestDataFile)) return Failure(error);
    const std::vector<Violation> violations =
        CheckDataFile(file.data(), file.size(), CheckOptions{.warnings = warnings});
    PrintViolations(violations, std::cout);
    if (!IsWellFormed(violations)) return kExitViolations;
    std::cout << "ok\n";
    return kExitOk;
}

int Dump(const std::string& input) {
    std::vector<uint8_t> file;
    std::string error;
    if (!ReadWholeFile(input, &file, &error, kLargestDataFile)) return Failure(error);
    DumpDataFile(file.data(), file.size(), std::cout);
    if (!std::cout.flush()) return Failure("cannot write the listing of " + input);
    return kExitOk;
}

int Run(int argc, char** argv) {
    CLI::App app{"Builds, checks and lists update data files (\"Zumbiko Update.dat\").", "zdat"};
    app.require_subcommand(1);

    std::string manifest;
    std::string output;
    bool force = false;
    CLI::App* build = app.add_subcommand("build", "Build a data file from a JSON manifest");
    build->add_option("manifest", manifest, "Manifest (format: docs/zdat.md)")->required();
    build->add_option("-o,--output", output, "Data file to write")->required();
    build->add_flag("--force", force, "Write the file even when it is not well-formed");

    std::string input;
    bool warnings = false;
    CLI::App* check = app.add_subcommand("check", "Check a data file; exit 1 if it is broken");
    check->add_option("file", input, "Data file")->required();
    check->add_flag("-w,--warnings", warnings, "Also report overlapping or risky placements");

    CLI::App* dump = app.add_subcommand("dump", "List a data file's content");
    dump->add_option("file", input, "Data file")->required();

    if (const auto stop = ParseCommandLine(app, argc, argv, std::cout, std::cerr, kExitFailure)) {
        return *stop;
    }

    if (build->parsed()) return Build(manifest, output, force);
    if (check->parsed()) return Check(input, warnings);
    if (dump->parsed()) return Dump(input);
    return kExitFailure;
}

}  // namespace

// Library exceptions (allocation, streams, the parser's setup) stop here with a message.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& fault) {
        return Failure(fault.what());
    } catch (...) {
        return Failure("unexpected failure");
    }
}
