// objc_msgSend for GCC's runtime on 32-bit x86: the implementation is looked up with
// objc_msg_lookup, then jumped to with the caller's stack as it was, so that it finds its
// arguments where a direct call puts them, whatever its signature. A nil receiver answers zero
// without a call, as the device's runtime does.
        .text
        .globl  objc_msgSend
        .type   objc_msgSend, @function
        .p2align 4
objc_msgSend:
        .cfi_startproc
        movl    4(%esp), %eax           // the receiver
        testl   %eax, %eax
        jz      .Lnil
        movl    8(%esp), %ecx           // the selector
        // 4 bytes and the two arguments keep the stack 16-byte aligned at the call.
        subl    $4, %esp
        .cfi_adjust_cfa_offset 4
        pushl   %ecx
        .cfi_adjust_cfa_offset 4
        pushl   %eax
        .cfi_adjust_cfa_offset 4
        // Hidden in this library, so called directly, without the global offset table in %ebx.
        call    vorla_objc_lookup
        addl    $12, %esp
        .cfi_adjust_cfa_offset -12
        jmp     *%eax
.Lnil:
        xorl    %eax, %eax
        xorl    %edx, %edx
        ret
        .cfi_endproc
        .size   objc_msgSend, .-objc_msgSend

        .section .note.GNU-stack,"",@progbits
