#pragma once

// TLS for the stream tests. TestCertificates makes, with the openssl command
// in a temporary directory, a certificate authority and server certificates
// for "localhost": one it signed, one self-signed, one from an authority
// nobody trusts. TrustedAuthority makes the engine trust the test authority
// alone (SSL_CERT_FILE and SSL_CERT_DIR) while it lives. TlsFront runs
// stunnel4 on 127.0.0.1 in front of a plain server (icecast2, a FaultServer),
// in its own process group, killed when the object goes.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "tests/formats/stream/free_port.h"
#include "tests/support/temporary_directory.h"
#include "tests/support/waiting.h"

namespace streamtest {

struct CertificatePair {
    std::string certificate;
    std::string key;
};

class TestCertificates {
public:
    TestCertificates() {
        const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
        const std::string authority =
            "-days 2 -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign";
        std::ofstream(Path("server.ext")) << "subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\n"
                                             "extendedKeyUsage=serverAuth\n";
        ready_ = Run("req -x509 " + key + " -keyout ca.key -out ca.pem -subj /CN=Tunelark-Test-CA " + authority) &&
                 Run("req -x509 " + key + " -keyout other-ca.key -out other-ca.pem -subj /CN=Unknown-CA " +
                     authority) &&
                 Signed("server", "ca") && Signed("stranger", "other-ca") &&
                 Run("req -x509 " + key + " -keyout self.key -out self.pem -days 2 -subj /CN=localhost"
                     " -addext subjectAltName=DNS:localhost");
        directory_.MakeDirectory("no-certificates");
    }

    bool Ready() const { return ready_; }
    std::string Authority() const { return Path("ca.pem"); }
    std::string EmptyDirectory() const { return Path("no-certificates"); }
    // For "localhost", signed by the test authority.
    CertificatePair Server() const { return {Path("server.pem"), Path("server.key")}; }
    // For "localhost", signed by itself.
    CertificatePair SelfSigned() const { return {Path("self.pem"), Path("self.key")}; }
    // For "localhost", signed by an authority nobody trusts.
    CertificatePair Stranger() const { return {Path("stranger.pem"), Path("stranger.key")}; }

private:
    std::string Path(const std::string& name) const { return directory_.PathOf(name); }

    bool Run(const std::string& arguments) const {
        const std::string command =
            "cd '" + directory_.Path() + "' && openssl " + arguments + " >>openssl.log 2>&1";
        return std::system(command.c_str()) == 0;
    }

    // A certificate for "localhost" signed by the authority `issuer`.
    bool Signed(const std::string& name, const std::string& issuer) const {
        return Run("req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " + name + ".key -out " +
                   name + ".csr -subj /CN=localhost") &&
               Run("x509 -req -in " + name + ".csr -CA " + issuer + ".pem -CAkey " + issuer + ".key -CAcreateserial" +
                   " -out " + name + ".pem -days 2 -extfile server.ext");
    }

    test::TemporaryDirectory directory_;
    bool ready_ = false;
};

// Sets an environment variable while it lives; the one before comes back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* before = getenv(name)) before_ = before;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (before_) {
            setenv(name_, before_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> before_;
};

// The test authority is the only one trusted. Set before any thread that
// could read the environment starts.
class TrustedAuthority {
public:
    explicit TrustedAuthority(const TestCertificates& certificates)
        : file_("SSL_CERT_FILE", certificates.Authority()), directory_("SSL_CERT_DIR", certificates.EmptyDirectory()) {}

private:
    ScopedVariable file_;
    ScopedVariable directory_;
};

constexpr auto kTlsFrontStartTime = std::chrono::seconds(10);

class TlsFront {
public:
    TlsFront(uint16_t backendPort, const CertificatePair& pair) {
        port_ = FreePort();
        const std::string configuration = directory_.PathOf("stunnel.conf");
        std::ofstream(configuration) << "foreground = yes\npid =\noutput = " << directory_.PathOf("stunnel.log")
                                     << "\n[tls]\naccept = 127.0.0.1:" << port_ << "\nconnect = 127.0.0.1:"
                                     << backendPort << "\ncert = " << pair.certificate << "\nkey = " << pair.key
                                     << "\n";
        process_ = fork();
        if (process_ == 0) {
            setpgid(0, 0);
            // It logs to its file; the tests' output shows only the verdicts.
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            execlp("stunnel4", "stunnel4", configuration.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (process_ > 0) setpgid(process_, process_);
        ready_ = process_ > 0 && WaitForListener();
    }

    ~TlsFront() {
        if (process_ <= 0) return;
        kill(-process_, SIGTERM);
        waitpid(process_, nullptr, 0);
        kill(-process_, SIGKILL);
    }

    TlsFront(const TlsFront&) = delete;
    TlsFront& operator=(const TlsFront&) = delete;

    bool Ready() const { return ready_; }
    uint16_t Port() const { return port_; }
    std::string Url(const std::string& host, const std::string& path) const {
        return "https://" + host + ":" + std::to_string(port_) + path;
    }

private:
    // stunnel listens once its configuration is read; a connection that
    // closes at once costs it nothing but a line in its log.
    bool WaitForListener() const {
        bool gaveUp = false;
        const bool settled = test::Eventually(
            [&] {
                gaveUp = waitpid(process_, nullptr, WNOHANG) == process_;
                return gaveUp || Listening();
            },
            kTlsFrontStartTime);
        return settled && !gaveUp;
    }

    bool Listening() const {
        const int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port_);
        const bool listening = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(probe);
        return listening;
    }

    test::TemporaryDirectory directory_;
    uint16_t port_ = 0;
    pid_t process_ = -1;
    bool ready_ = false;
};

}  // namespace streamtest
