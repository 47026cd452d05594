#include "digest/csha256.h"
#include "service/credential.h"

#include <QCryptographicHash>

#include <benchmark/benchmark.h>

#ifdef ZENDRY_HAVE_OPENSSL
#include <openssl/sha.h>
#endif

namespace {

QString text(qsizetype size)
{
    QString s(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        s[i] = QChar(char16_t(32 + i % 95));
    return s;
}

void CSHA256_SHA256(benchmark::State &state)
{
    const QString message = text(state.range(0));
    const CSHA256 sha;
    for (auto _ : state)
        benchmark::DoNotOptimize(sha.SHA256(message));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void QCryptographicHash_Sha256(benchmark::State &state)
{
    const QByteArray message = text(state.range(0)).toLatin1();
    for (auto _ : state)
        benchmark::DoNotOptimize(QCryptographicHash::hash(message, QCryptographicHash::Sha256));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

#ifdef ZENDRY_HAVE_OPENSSL
void OpenSSL_SHA256(benchmark::State &state)
{
    const QByteArray message = text(state.range(0)).toLatin1();
    unsigned char digest[SHA256_DIGEST_LENGTH];
    for (auto _ : state) {
        SHA256(reinterpret_cast<const unsigned char *>(message.constData()), size_t(message.size()), digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(OpenSSL_SHA256)->Arg(1024)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);
#endif

void PasswordDigest(benchmark::State &state)
{
    const QString password = text(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(zendry::PasswordDigest(password));
}

} // namespace

BENCHMARK(CSHA256_SHA256)->Arg(1024)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(QCryptographicHash_Sha256)->Arg(1024)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(PasswordDigest)->Arg(8)->Arg(64)->Arg(32767)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
