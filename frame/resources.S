/* The compiled resources, carried in the library as a Windows module
   carries its resource section. */
        .section .rodata
        .balign 16
        .globl vx70def_resources
        .hidden vx70def_resources
vx70def_resources:
        .incbin VX70_RES_FILE
        .globl vx70def_resources_end
        .hidden vx70def_resources_end
vx70def_resources_end:
        .section .note.GNU-stack,"",@progbits
