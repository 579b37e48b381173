// A key and a self-signed certificate for 127.0.0.1 and localhost, made in
// memory for TLS servers in tests and benchmarks: trusted by nothing but
// what is told to trust it.
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>

struct X509Free {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

struct SelfSignedCertificate {
    SelfSignedCertificate();

    std::unique_ptr<EVP_PKEY, KeyFree> key;
    std::unique_ptr<X509, X509Free> certificate; // null if it could not be made
    std::string pem;                             // the certificate in PEM form
};
