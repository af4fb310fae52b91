/* SPDX-FileCopyrightText: 2026 The proc-utilities authors */
/* SPDX-License-Identifier: Apache-2.0 */
/* The baseline for program sizes: a plain C hello, linked statically. */
#include <stdio.h>

int main(void)
{
    printf("Hello, World!\n");
    return 0;
}
