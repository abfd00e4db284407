// libre's one header, with what it expects its includer to have defined
// (its own build defines these): the integer types and sockets come from
// the C library.
#pragma once

#include <sys/socket.h>

#include <cstdint>

#ifndef HAVE_INTTYPES_H
#define HAVE_INTTYPES_H 1
#endif
#ifndef HAVE_INET6
#define HAVE_INET6 1
#endif

#include <re.h>
