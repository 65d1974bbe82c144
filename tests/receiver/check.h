/* The receiver's test programs' one check: a failed condition is counted and printed with its
 * line, and the program goes on to the next; check_summary() prints the count and gives the exit
 * status. One translation unit a program: the counters are its own. */
#ifndef TESTS_RECEIVER_CHECK_H
#define TESTS_RECEIVER_CHECK_H

#include <stdio.h>

static int g_cases, g_failures;

#define CHECK(cond, ...)                             \
  do {                                               \
    if (!(cond)) {                                   \
      g_failures++;                                  \
      printf("FAIL line %d: %s: ", __LINE__, #cond); \
      printf(__VA_ARGS__);                           \
      printf("\n");                                  \
    }                                                \
  } while (0)

static inline int check_summary(void) {
  printf("%d cases, %d failures\n", g_cases, g_failures);
  return g_failures ? 1 : 0;
}

#endif /* TESTS_RECEIVER_CHECK_H */
