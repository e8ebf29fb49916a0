#pragma once

// Helpers shared by the tests: temporary folders, whole-file reads and
// writes, and running the built program.

#include <QLocale>
#include <QString>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

// A failed check shows a QString as its text, not as its bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace corvane::test {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The path of `name` inside the folder, as a string.
    std::string file(const std::string& name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

using Bytes = std::vector<std::uint8_t>;

// The system's own words for `errnoValue`, as the program reports them.
inline std::string systemReason(int errnoValue) {
    return std::generic_category().message(errnoValue);
}

// Makes `locale` the program's locale for as long as it lives, then puts
// the pinned one back, even when the test fails part-way.
class ScopedLocale {
  public:
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(m_previous); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

  private:
    QLocale m_previous;
};

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);
bool fileExists(const std::string& path);

// Every file of a folder (not its subfolders) by name, with its bytes: to
// prove that nothing but the expected file changed.
using Folder = std::map<std::string, Bytes>;
Folder folderOf(const std::filesystem::path& folder);

struct ProgramResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// How long runProgram lets a program run before it kills it.
inline constexpr std::chrono::seconds kProgramDeadline{60};

// Runs `program` with `args` in `directory` (no shell involved) and collects
// its exit status and output (status -2 when it had to be killed at the
// deadline); `stdoutPath`, when given, receives the
// standard output instead (out is then empty).
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& directory, const std::string& stdoutPath = {});

// Starts `program` in `directory` without waiting for it; its output goes
// to files in `outputFolder` ("out" and "err"), or standard output to
// `stdoutPath` when given. Returns its process id.
int startProgram(const std::string& program, const std::vector<std::string>& args,
                 const std::string& directory, const std::string& outputFolder,
                 const std::string& stdoutPath = {});

// Kills a program started by startProgram (as a crash would) and reaps it.
void killProgram(int pid);

// A program started by startProgram that is killed, at the latest, when
// this goes out of scope: a failed check never leaves it running.
class StartedProgram {
  public:
    StartedProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::string& directory, const std::string& outputFolder)
        : m_pid(startProgram(program, args, directory, outputFolder)) {}
    ~StartedProgram() { kill(); }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    int pid() const { return m_pid; }
    void kill() {
        if (m_pid > 0) {
            killProgram(m_pid);
            m_pid = 0;
        }
    }

  private:
    int m_pid;
};

}  // namespace corvane::test
