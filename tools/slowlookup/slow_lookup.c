/* A slow name service for one address, preloaded into 64-bit Wine: the reverse
 * lookups of TARNWICK_SLOW_ADDRESS (dotted) take TARNWICK_SLOW_MS milliseconds
 * longer, as behind a DNS server that does not answer. Every other lookup goes
 * straight to the C library. Used by scripts/bench-slow-lookup.sh only. */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>

static void delayFor(const void* address, socklen_t length, int family) {
    const char* slow = getenv("TARNWICK_SLOW_ADDRESS");
    const char* ms = getenv("TARNWICK_SLOW_MS");
    struct in_addr wanted;
    if (slow == NULL || ms == NULL || family != AF_INET || length != sizeof wanted ||
        inet_pton(AF_INET, slow, &wanted) != 1 || memcmp(address, &wanted, sizeof wanted) != 0)
        return;
    const long total = atol(ms);
    struct timespec pause = {total / 1000, (total % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

int gethostbyaddr_r(const void* address, socklen_t length, int family, struct hostent* result, char* buffer,
                    size_t size, struct hostent** found, int* error) {
    typedef int (*Real)(const void*, socklen_t, int, struct hostent*, char*, size_t, struct hostent**, int*);
    static Real real;
    if (real == NULL)
        real = (Real)dlsym(RTLD_NEXT, "gethostbyaddr_r");
    delayFor(address, length, family);
    return real(address, length, family, result, buffer, size, found, error);
}

int getnameinfo(const struct sockaddr* address, socklen_t length, char* host, socklen_t host_size,
                char* service, socklen_t service_size, int flags) {
    typedef int (*Real)(const struct sockaddr*, socklen_t, char*, socklen_t, char*, socklen_t, int);
    static Real real;
    if (real == NULL)
        real = (Real)dlsym(RTLD_NEXT, "getnameinfo");
    if (address != NULL && address->sa_family == AF_INET && length >= (socklen_t)sizeof(struct sockaddr_in))
        delayFor(&((const struct sockaddr_in*)address)->sin_addr, sizeof(struct in_addr), AF_INET);
    return real(address, length, host, host_size, service, service_size, flags);
}
