// SelfSignedCertificate on OpenSSL: an EC P-256 key, a day's validity, the
// loopback names as subject alternative names.
#include "support/self_signed_certificate.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace {

bool AddExtension(X509* certificate, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    const bool added = extension && X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

bool Fill(X509* certificate, EVP_PKEY* key) {
    X509_NAME* name = X509_get_subject_name(certificate);
    const auto* commonName = reinterpret_cast<const unsigned char*>("127.0.0.1");
    return X509_set_version(certificate, 2) == 1 &&
           ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1) == 1 &&
           X509_gmtime_adj(X509_getm_notBefore(certificate), -3600) &&
           X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600) &&
           X509_set_pubkey(certificate, key) == 1 &&
           X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, commonName, -1, -1, 0) == 1 &&
           X509_set_issuer_name(certificate, name) == 1 &&
           AddExtension(certificate, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") &&
           AddExtension(certificate, NID_basic_constraints, "critical,CA:TRUE") &&
           X509_sign(certificate, key, EVP_sha256()) > 0;
}

std::string Pem(X509* certificate) {
    std::unique_ptr<BIO, decltype(&BIO_free)> memory(BIO_new(BIO_s_mem()), BIO_free);
    char* text = nullptr;
    if (!memory || PEM_write_bio_X509(memory.get(), certificate) != 1)
        return {};
    const long length = BIO_get_mem_data(memory.get(), &text);
    return std::string(text, static_cast<std::size_t>(length));
}

} // namespace

SelfSignedCertificate::SelfSignedCertificate() : key(EVP_EC_gen("P-256")), certificate(X509_new()) {
    if (!key || !certificate || !Fill(certificate.get(), key.get())) {
        certificate.reset();
        return;
    }
    pem = Pem(certificate.get());
}
