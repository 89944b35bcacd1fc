#include "ServerCertificate.h"

#include "support/ShellCommand.h"

namespace velto::test {

bool MakeServerCertificate(const std::filesystem::path& folder, const std::string& name) {
    if (std::filesystem::exists(folder / "cert.pem")) {
        return true;
    }
    // Elliptic-curve keys: made in milliseconds. The address also as a DNS name: the SIP
    // stack's TLS library reads no IP addresses in a certificate.
    const std::string dir = ShellQuote(folder.string());
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    const std::string script =
        "cd " + dir + " && openssl req -x509" + key +
        " -keyout ca.key -out ca.pem -days 2 -subj '/CN=Velto Test CA' && openssl req" + key +
        " -keyout key.pem -out server.csr -subj '/CN=" + name +
        "' && printf 'subjectAltName=DNS:" + name + ",IP:" + name +
        "\\n' > san.cnf && openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key "
        "-CAcreateserial -out cert.pem -days 2 -extfile san.cnf";
    return RunShell("(" + script + ") >/dev/null 2>&1").code == 0;
}

}  // namespace velto::test
