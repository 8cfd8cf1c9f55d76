/* A slow name service, preloaded into 64-bit Wine. The reverse lookups of
 * TARNWICK_SLOW_ADDRESS (dotted), and of the TARNWICK_SLOW_COUNT addresses from
 * TARNWICK_SLOW_FIRST on, take TARNWICK_SLOW_MS milliseconds longer, as behind a
 * DNS server that does not answer. The single address then goes on to the C
 * library; an address of the range is answered here, without the network: no
 * name, or with TARNWICK_SLOW_NAMES=1 the name "client-A-B-C-D.slow.test".
 * Every other lookup goes straight to the C library. Used by
 * scripts/bench-slow-lookup.sh and scripts/bench-many-clients.sh only. */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <dlfcn.h>
#include <errno.h>
#include <netdb.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>

static int isAddress(const void* address, socklen_t length, int family, const char* text) {
    struct in_addr wanted;
    return text != NULL && family == AF_INET && length == sizeof wanted && inet_pton(AF_INET, text, &wanted) == 1 &&
           memcmp(address, &wanted, sizeof wanted) == 0;
}

static int inRange(const void* address, socklen_t length, int family) {
    const char* first = getenv("TARNWICK_SLOW_FIRST");
    const char* count = getenv("TARNWICK_SLOW_COUNT");
    struct in_addr start;
    uint32_t value;
    if (first == NULL || count == NULL || family != AF_INET || length != sizeof value ||
        inet_pton(AF_INET, first, &start) != 1)
        return 0;
    memcpy(&value, address, sizeof value);
    return ntohl(value) - ntohl(start.s_addr) < strtoul(count, NULL, 10);
}

static void delay(void) {
    const char* ms = getenv("TARNWICK_SLOW_MS");
    const long total = ms != NULL ? atol(ms) : 0;
    struct timespec pause = {total / 1000, (total % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

/* The answer for an address of the range, in the caller's buffer. */
static int answerInRange(const void* address, struct hostent* result, char* buffer, size_t size,
                         struct hostent** found, int* error) {
    *found = NULL;
    if (getenv("TARNWICK_SLOW_NAMES") == NULL || strcmp(getenv("TARNWICK_SLOW_NAMES"), "1") != 0) {
        *error = HOST_NOT_FOUND;
        return 0;
    }
    const unsigned char* bytes = address;
    char name[64];
    snprintf(name, sizeof name, "client-%u-%u-%u-%u.slow.test", bytes[0], bytes[1], bytes[2], bytes[3]);
    const size_t skip = (sizeof(char*) - (uintptr_t)buffer % sizeof(char*)) % sizeof(char*);
    if (size < skip + 3 * sizeof(char*) + 4 + strlen(name) + 1) {
        *error = NETDB_INTERNAL;
        return ERANGE;
    }
    char** pointers = (char**)(void*)(buffer + skip);
    char* copy = (char*)(pointers + 3);
    memcpy(copy, address, 4);
    strcpy(copy + 4, name);
    pointers[0] = NULL;
    pointers[1] = copy;
    pointers[2] = NULL;
    result->h_name = copy + 4;
    result->h_aliases = pointers;
    result->h_addrtype = AF_INET;
    result->h_length = 4;
    result->h_addr_list = pointers + 1;
    *found = result;
    *error = 0;
    return 0;
}

int gethostbyaddr_r(const void* address, socklen_t length, int family, struct hostent* result, char* buffer,
                    size_t size, struct hostent** found, int* error) {
    typedef int (*Real)(const void*, socklen_t, int, struct hostent*, char*, size_t, struct hostent**, int*);
    static Real real;
    if (real == NULL)
        real = (Real)dlsym(RTLD_NEXT, "gethostbyaddr_r");
    if (inRange(address, length, family)) {
        delay();
        return answerInRange(address, result, buffer, size, found, error);
    }
    if (isAddress(address, length, family, getenv("TARNWICK_SLOW_ADDRESS")))
        delay();
    return real(address, length, family, result, buffer, size, found, error);
}

int getnameinfo(const struct sockaddr* address, socklen_t length, char* host, socklen_t host_size,
                char* service, socklen_t service_size, int flags) {
    typedef int (*Real)(const struct sockaddr*, socklen_t, char*, socklen_t, char*, socklen_t, int);
    static Real real;
    if (real == NULL)
        real = (Real)dlsym(RTLD_NEXT, "getnameinfo");
    if (address != NULL && address->sa_family == AF_INET && length >= (socklen_t)sizeof(struct sockaddr_in)) {
        const void* ip = &((const struct sockaddr_in*)address)->sin_addr;
        if (inRange(ip, sizeof(struct in_addr), AF_INET) ||
            isAddress(ip, sizeof(struct in_addr), AF_INET, getenv("TARNWICK_SLOW_ADDRESS")))
            delay();
    }
    return real(address, length, host, host_size, service, service_size, flags);
}
