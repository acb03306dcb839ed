#include "tests/support/self_signed_cert.h"

#include "tests/support/file_bytes.h"
#include "tests/support/peer_process.h"

#include <stdexcept>

#include <sys/wait.h>

namespace testsupport {

SelfSignedCert MakeSelfSignedCert(const std::string& folder)
{
    SelfSignedCert cert{folder + "/peer-cert.pem", folder + "/peer-key.pem"};
    const std::string output = folder + "/openssl-output.txt";
    int status = RunProgram({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec",
                             "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                             "-keyout", cert.keyFile, "-out", cert.certFile, "-days", "2",
                             "-subj", "/CN=127.0.0.1",
                             "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"},
                            output);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("openssl failed (" + DescribeWaitStatus(status) + "): " + ReadFileBytes(output));
    return cert;
}

}  // namespace testsupport
