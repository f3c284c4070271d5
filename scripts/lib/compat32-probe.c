/*
 * Tells whether this machine can run 32-bit x86 code inside a 64-bit Linux
 * process, as Wine's WoW64 mode does for 32-bit Windows programs: that needs
 * the kernel's 32-bit user code segment (selector 0x23) to be present. Some
 * virtual machines and kernels run without one, and there every 32-bit
 * Windows program dies at its first instruction.
 *
 * LAR reads a segment's access rights without faulting, whatever the
 * selector. Exit status 0: the segment is a present, user-mode, 32-bit code
 * segment; 1: it is not.
 */
#include <stdio.h>

int main(void)
{
    unsigned int rights = 0;
    unsigned char valid = 0;
    __asm__ volatile("lar %2, %0\n\tsetz %1" : "+r"(rights), "=qm"(valid) : "r"(0x23u) : "cc");

    const unsigned int present = 1u << 15, user = 3u << 13, code = 3u << 11;
    const unsigned int defaultSize32 = 1u << 22, longMode = 1u << 21;
    int usable = valid && (rights & present) && (rights & user) == user && (rights & code) == code &&
                 (rights & defaultSize32) && !(rights & longMode);
    if (!usable)
        printf("no 32-bit user code segment (selector 0x23 %s)\n", valid ? "is not 32-bit user code" : "is not valid");
    return usable ? 0 : 1;
}
