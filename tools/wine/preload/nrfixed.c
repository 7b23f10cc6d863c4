/*
 * nrfixed: MAP_FIXED_NOREPLACE for 32-bit Wine under user-mode emulation.
 *
 * Why this exists
 * ---------------
 * The machines we test on run 64-bit code only, so the 32-bit Wine loader
 * runs under qemu-i386 (registered with binfmt_misc by tools/wine/setup).
 * That emulator treats MAP_FIXED_NOREPLACE as a mere hint: asked for an
 * address that is taken, it quietly maps somewhere else instead of failing.
 * Wine reserves its address space at start-up by asking for large ranges
 * with MAP_FIXED_NOREPLACE and, whenever the answer is not the address it
 * asked for, unmapping it and trying both halves of the range.  With the
 * flag ignored that recursion goes all the way down to 64 KiB pieces and
 * makes some 65,000 mmap calls: every 32-bit Wine process then needs
 * 40-75 s to start and creating a prefix takes minutes.
 *
 * This library is put in front of libc with LD_PRELOAD and gives the flag
 * its real meaning: when an address is given with MAP_FIXED_NOREPLACE, the
 * range is checked against /proc/self/maps (which the emulator answers with
 * the guest's own mappings); if it is free it is mapped with MAP_FIXED,
 * otherwise the call fails with EEXIST.  Start-up drops to about a second.
 *
 * It is freestanding on purpose (built with -ffreestanding -nostdlib, raw
 * system calls, no libc): it must be loadable into any 32-bit process
 * before libc and must not depend on anything libc sets up.  The only
 * symbol it takes from the process is __errno_location, looked up weakly
 * at run time, because Wine checks errno for EEXIST after a refused call.
 *
 * The same file is also built for x86_64, where it compiles to an empty
 * library: LD_PRELOAD='DIR/$LIB/nrfixed.so' is seen by the 64-bit processes
 * too (wine64, wineserver), and the 64-bit kernel honours the flag itself.
 * The empty twin only keeps the dynamic loader from complaining.
 *
 * Limitation: the check and the MAP_FIXED call are two steps, so a thread
 * mapping memory at the same moment in the same range could be overwritten.
 * Wine makes these calls while it holds its own virtual-memory lock, and
 * libc's own allocations never pass a fixed address, so this does not
 * happen in practice.
 */

#if defined(__i386__)

typedef unsigned int u32;
typedef unsigned long long u64;
typedef unsigned int size_t;

#define NR_read 3
#define NR_open 5
#define NR_close 6
#define NR_munmap 91
#define NR_mmap2 192

#define O_RDONLY 0
#define O_CLOEXEC 02000000

#define MAP_FIXED 0x10
#define MAP_FIXED_NOREPLACE 0x100000

#define EINTR 4
#define ENOMEM 12
#define EEXIST 17
#define EINVAL 22

#define PAGE_SIZE 4096u
#define MAP_FAILED ((void *)-1)

#define EXPORT __attribute__((visibility("default")))
#define HIDDEN __attribute__((visibility("hidden")))

/* Provided by libc in the host process; weak so that a process without it
 * still loads us (errno is then simply not set). */
extern int *__errno_location(void) __attribute__((weak));

static void set_errno(int e)
{
    if (__errno_location)
        *__errno_location() = e;
}

/* ---- raw system calls ------------------------------------------------ */

static long sys1(long nr, long a)
{
    long ret;
    __asm__ volatile("int $0x80" : "=a"(ret) : "0"(nr), "b"(a) : "memory");
    return ret;
}

static long sys2(long nr, long a, long b)
{
    long ret;
    __asm__ volatile("int $0x80" : "=a"(ret) : "0"(nr), "b"(a), "c"(b) : "memory");
    return ret;
}

static long sys3(long nr, long a, long b, long c)
{
    long ret;
    __asm__ volatile("int $0x80" : "=a"(ret) : "0"(nr), "b"(a), "c"(b), "d"(c) : "memory");
    return ret;
}

/* mmap2 takes six arguments; the sixth goes in %ebp, which the compiler
 * will not hand out as an operand, so this one is written out in assembly
 * (cdecl: arguments on the stack, result in %eax). */
HIDDEN long raw_mmap2(u32 addr, u32 len, long prot, long flags, long fd, u32 pgoff);
__asm__(
    ".text\n"
    ".p2align 4\n"
    ".hidden raw_mmap2\n"
    ".type raw_mmap2,@function\n"
    "raw_mmap2:\n"
    "    push %ebp\n"
    "    push %ebx\n"
    "    push %esi\n"
    "    push %edi\n"
    "    mov 20(%esp), %ebx\n"
    "    mov 24(%esp), %ecx\n"
    "    mov 28(%esp), %edx\n"
    "    mov 32(%esp), %esi\n"
    "    mov 36(%esp), %edi\n"
    "    mov 40(%esp), %ebp\n"
    "    mov $192, %eax\n"
    "    int $0x80\n"
    "    pop %edi\n"
    "    pop %esi\n"
    "    pop %ebx\n"
    "    pop %ebp\n"
    "    ret\n"
    ".size raw_mmap2, .-raw_mmap2\n");

/* The kernel returns -errno in the last page of the address range. */
static int is_error(long ret)
{
    return (unsigned long)ret > -4096ul;
}

/* ---- /proc/self/maps ------------------------------------------------- */

enum { RANGE_FREE, RANGE_TAKEN, RANGE_UNKNOWN };

static int hexval(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/* Does any mapping overlap [start, end)?  Each line of the maps file starts
 * "lo-hi ", both hexadecimal; the rest of the line is skipped.  The file is
 * read in pieces and parsed one character at a time, so a line split across
 * two reads needs no special care. */
static int range_state(u64 start, u64 end)
{
    static const char path[] = "/proc/self/maps";
    char buf[2048];
    u64 lo = 0, hi = 0;
    int field = 0; /* 0: lo, 1: hi, 2: rest of line */
    long fd, n, i;

    fd = sys2(NR_open, (long)path, O_RDONLY | O_CLOEXEC);
    if (is_error(fd))
        return RANGE_UNKNOWN;

    for (;;) {
        n = sys3(NR_read, fd, (long)buf, sizeof buf);
        if (n == -EINTR)
            continue;
        if (is_error(n)) {
            sys1(NR_close, fd);
            return RANGE_UNKNOWN;
        }
        if (n == 0)
            break;
        for (i = 0; i < n; i++) {
            char c = buf[i];
            int v;
            if (c == '\n') {
                lo = hi = 0;
                field = 0;
                continue;
            }
            if (field == 2)
                continue;
            v = hexval(c);
            if (v >= 0) {
                if (field == 0)
                    lo = (lo << 4) | (u64)v;
                else
                    hi = (hi << 4) | (u64)v;
            } else if (field == 0 && c == '-') {
                field = 1;
            } else {
                /* End of "lo-hi": a complete range. */
                field = 2;
                if (lo < end && start < hi) {
                    sys1(NR_close, fd);
                    return RANGE_TAKEN;
                }
            }
        }
    }
    sys1(NR_close, fd);
    return RANGE_FREE;
}

/* ---- the interposed entry points ------------------------------------- */

static void *finish(long ret)
{
    if (is_error(ret)) {
        set_errno((int)-ret);
        return MAP_FAILED;
    }
    return (void *)ret;
}

static void *do_mmap(void *addr, size_t len, int prot, int flags, int fd, u64 off)
{
    u64 start, end;

    if (off & (PAGE_SIZE - 1)) {
        set_errno(EINVAL);
        return MAP_FAILED;
    }
    if (!(flags & MAP_FIXED_NOREPLACE) || !addr || (flags & MAP_FIXED))
        return finish(raw_mmap2((u32)addr, len, prot, flags, fd, (u32)(off >> 12)));

    start = (u32)addr;
    end = start + (((u64)len + PAGE_SIZE - 1) & ~(u64)(PAGE_SIZE - 1));
    if ((start & (PAGE_SIZE - 1)) || len == 0) {
        set_errno(EINVAL);
        return MAP_FAILED;
    }
    if (end > 0x100000000ull) {
        set_errno(ENOMEM);
        return MAP_FAILED;
    }

    switch (range_state(start, end)) {
    case RANGE_TAKEN:
        set_errno(EEXIST);
        return MAP_FAILED;
    case RANGE_FREE:
        flags = (flags & ~MAP_FIXED_NOREPLACE) | MAP_FIXED;
        return finish(raw_mmap2((u32)addr, len, prot, flags, fd, (u32)(off >> 12)));
    default: {
        /* The maps file could not be read: ask for the address as a hint
         * and refuse anything else, which is what the flag promises. */
        long ret = raw_mmap2((u32)addr, len, prot, flags & ~MAP_FIXED_NOREPLACE, fd,
                             (u32)(off >> 12));
        if (is_error(ret) || ret == (long)addr)
            return finish(ret);
        sys2(NR_munmap, ret, len);
        set_errno(EEXIST);
        return MAP_FAILED;
    }
    }
}

EXPORT void *mmap(void *addr, size_t len, int prot, int flags, int fd, long off)
{
    return do_mmap(addr, len, prot, flags, fd, (u64)(u32)off);
}

EXPORT void *mmap64(void *addr, size_t len, int prot, int flags, int fd, long long off)
{
    if (off < 0) {
        set_errno(EINVAL);
        return MAP_FAILED;
    }
    return do_mmap(addr, len, prot, flags, fd, (u64)off);
}

#endif /* __i386__ */
