#pragma once

#include <filesystem>
#include <string>

namespace velto::test {

// Makes, in `folder`, a CA of the test's own (ca.pem, ca.key) and a certificate it signed
// for a server named `name`, its address (cert.pem, key.pem); keeps them when they are
// there already.
bool MakeServerCertificate(const std::filesystem::path& folder, const std::string& name);

}  // namespace velto::test
