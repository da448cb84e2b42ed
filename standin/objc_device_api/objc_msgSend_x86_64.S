// objc_msgSend for GCC's runtime on x86-64: the implementation is looked up with objc_msg_lookup,
// then jumped to with the caller's argument registers and stack as they were, so that it runs as
// if called directly, whatever its signature. A nil receiver answers zero in every result register
// without a call, as the device's runtime does.
        .text
        .globl  objc_msgSend
        .type   objc_msgSend, @function
        .p2align 4
objc_msgSend:
        .cfi_startproc
        testq   %rdi, %rdi
        jz      .Lnil
        // Every register that can carry an argument, and %rax (a variadic call's count of vector
        // registers). 200 bytes keep the stack 16-byte aligned at the call below.
        subq    $200, %rsp
        .cfi_adjust_cfa_offset 200
        movq    %rdi, 0(%rsp)
        movq    %rsi, 8(%rsp)
        movq    %rdx, 16(%rsp)
        movq    %rcx, 24(%rsp)
        movq    %r8, 32(%rsp)
        movq    %r9, 40(%rsp)
        movq    %rax, 48(%rsp)
        movaps  %xmm0, 64(%rsp)
        movaps  %xmm1, 80(%rsp)
        movaps  %xmm2, 96(%rsp)
        movaps  %xmm3, 112(%rsp)
        movaps  %xmm4, 128(%rsp)
        movaps  %xmm5, 144(%rsp)
        movaps  %xmm6, 160(%rsp)
        movaps  %xmm7, 176(%rsp)
        call    vorla_objc_lookup
        movq    %rax, %r11
        movq    0(%rsp), %rdi
        movq    8(%rsp), %rsi
        movq    16(%rsp), %rdx
        movq    24(%rsp), %rcx
        movq    32(%rsp), %r8
        movq    40(%rsp), %r9
        movq    48(%rsp), %rax
        movaps  64(%rsp), %xmm0
        movaps  80(%rsp), %xmm1
        movaps  96(%rsp), %xmm2
        movaps  112(%rsp), %xmm3
        movaps  128(%rsp), %xmm4
        movaps  144(%rsp), %xmm5
        movaps  160(%rsp), %xmm6
        movaps  176(%rsp), %xmm7
        addq    $200, %rsp
        .cfi_adjust_cfa_offset -200
        jmp     *%r11
.Lnil:
        xorl    %eax, %eax
        xorl    %edx, %edx
        pxor    %xmm0, %xmm0
        pxor    %xmm1, %xmm1
        ret
        .cfi_endproc
        .size   objc_msgSend, .-objc_msgSend

        .section .note.GNU-stack,"",@progbits
