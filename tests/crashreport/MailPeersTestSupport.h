#pragma once

// Starts tests/crashreport/mailpeers.py (a DNS hierarchy and SMTP servers on loopback, see the script) for one test,
// with a fresh folder for what the servers receive, and ends it with the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace mailpeers {

inline std::string ReadWholeFile(const std::filesystem::path& Path) {
    std::ifstream File(Path, std::ios::binary);
    std::ostringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

inline void WriteWholeFile(const std::filesystem::path& Path, std::string_view Text) {
    std::ofstream File(Path, std::ios::binary | std::ios::trunc);
    File.write(Text.data(), static_cast<std::streamsize>(Text.size()));
}

// A folder under the system's temporary folder, removed with the object.
class TTempFolder final {
public:
    TTempFolder() {
        std::string Template = (std::filesystem::temp_directory_path() / "kromail-XXXXXX").string();
        if (mkdtemp(Template.data()) != nullptr)
            Path = Template;
    }
    ~TTempFolder() {
        std::error_code Ignored;
        if (!Path.empty())
            std::filesystem::remove_all(Path, Ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    std::filesystem::path Path;
};

// Writes an executable shell script.
inline std::string WriteScript(const std::filesystem::path& Path, std::string_view Text) {
    WriteWholeFile(Path, Text);
    std::filesystem::permissions(Path, std::filesystem::perms::owner_all);
    return Path.string();
}

class TMailPeers final {
public:
    TMailPeers() {
        const auto Script = std::filesystem::path(__FILE__).parent_path() / "mailpeers.py";
        OutDir = Folder.Path / "received";
        int In[2], Out[2];
        if (pipe2(In, O_CLOEXEC) != 0 || pipe2(Out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_adddup2(&Actions, In[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&Actions, Out[1], STDOUT_FILENO);
        std::string Python = "python3", ScriptText = Script.string(), OutText = OutDir.string();
        char* Arguments[] = {Python.data(), ScriptText.data(), OutText.data(), nullptr};
        const bool Started = posix_spawnp(&Pid, "python3", &Actions, nullptr, Arguments, environ) == 0;
        posix_spawn_file_actions_destroy(&Actions);
        close(In[0]);
        close(Out[1]);
        Input = In[1];
        if (!Started) {
            Pid = -1;
            close(Out[0]);
            return;
        }
        ReadPorts(Out[0]);
        close(Out[0]);
    }

    ~TMailPeers() {
        if (Input >= 0)
            close(Input); // the script ends when its input does
        if (Pid > 0) {
            int Status;
            for (int I = 0; I < 200 && waitpid(Pid, &Status, WNOHANG) == 0; ++I)
                usleep(10000);
            if (waitpid(Pid, &Status, WNOHANG) == 0) {
                kill(Pid, SIGKILL);
                waitpid(Pid, &Status, 0);
            }
        }
    }
    TMailPeers(const TMailPeers&) = delete;
    TMailPeers& operator=(const TMailPeers&) = delete;

    bool Ready() const { return DnsPort > 0 && SmtpPorts.size() == 7; }

    // What a session or a mail left: e.g. File("plain-1.eml"); empty when there is no such file.
    std::string File(const std::string& Name) const { return ReadWholeFile(OutDir / Name); }
    bool Exists(const std::string& Name) const { return std::filesystem::exists(OutDir / Name); }
    // The names of everything received, sorted.
    std::vector<std::string> Received() const {
        std::vector<std::string> Names;
        for (const auto& Entry : std::filesystem::directory_iterator(OutDir))
            if (Entry.path().filename() != "dns.log")
                Names.push_back(Entry.path().filename().string());
        std::sort(Names.begin(), Names.end());
        return Names;
    }

    TTempFolder Folder;
    std::filesystem::path OutDir;
    int DnsPort = 0;
    std::map<std::string, int> SmtpPorts;

private:
    void ReadPorts(int Output) {
        std::string Text;
        const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Text.find("ready\n") == std::string::npos && std::chrono::steady_clock::now() < Deadline) {
            pollfd Poll{Output, POLLIN, 0};
            if (poll(&Poll, 1, 1000) <= 0)
                continue;
            char Buffer[256];
            const ssize_t Count = read(Output, Buffer, sizeof Buffer);
            if (Count <= 0)
                break;
            Text.append(Buffer, static_cast<std::size_t>(Count));
        }
        std::istringstream Lines(Text);
        std::string Kind;
        while (Lines >> Kind) {
            if (Kind == "dns")
                Lines >> DnsPort;
            else if (Kind == "smtp") {
                std::string Mode;
                int Port = 0;
                Lines >> Mode >> Port;
                SmtpPorts[Mode] = Port;
            }
        }
    }

    pid_t Pid = -1;
    int Input = -1;
};

} // namespace mailpeers
