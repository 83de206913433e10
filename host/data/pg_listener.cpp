#include "host/data/pg_listener.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace vx70::data {

namespace {

void ignoreNotice(void*, const PGresult*) {}

// Reads the results of the query sent last; false when it failed.
bool queryDone(PGconn* conn, bool& done) {
  if (!PQconsumeInput(conn)) return false;
  while (!PQisBusy(conn)) {
    PGresult* result = PQgetResult(conn);
    if (!result) {
      done = true;
      return true;
    }
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    if (!ok) return false;
  }
  return true;
}

}  // namespace

PgListener::PgListener(const CompanyAddress& address, std::string channel,
                       std::function<void()> wake)
    : address_(address), channel_(std::move(channel)), wake_(std::move(wake)) {
  if (::pipe2(stopPipe_, O_CLOEXEC) != 0) return;  // never healthy: the station asks as before
  thread_ = std::thread([this] { run(); });
}

PgListener::~PgListener() {
  if (thread_.joinable()) {
    const char stop = 1;
    while (::write(stopPipe_[1], &stop, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  if (conn_) PQfinish(static_cast<PGconn*>(conn_));
  for (int fd : stopPipe_)
    if (fd >= 0) ::close(fd);
}

bool PgListener::await(bool forWriting) {
  pollfd fds[2] = {
      {PQsocket(static_cast<PGconn*>(conn_)), static_cast<short>(forWriting ? POLLOUT : POLLIN), 0},
      {stopPipe_[0], POLLIN, 0}};
  while (::poll(fds, 2, -1) < 0)
    if (errno != EINTR) return false;
  return fds[1].revents == 0;
}

void PgListener::run() {
  const char* keywords[] = {"dbname", "fallback_application_name", nullptr};
  const char* values[] = {address_.connection.c_str(), "vx70", nullptr};
  PGconn* conn = PQconnectStartParams(keywords, values, 1);
  conn_ = conn;
  if (!conn || PQstatus(conn) == CONNECTION_BAD) return;
  // Connecting without blocking, so that closing the store never waits for
  // a server that does not answer.
  for (auto state = PGRES_POLLING_WRITING; state != PGRES_POLLING_OK; state = PQconnectPoll(conn)) {
    if (state == PGRES_POLLING_FAILED || !await(state == PGRES_POLLING_WRITING)) return;
  }
  PQsetNoticeReceiver(conn, ignoreNotice, nullptr);
  if (!PQsendQuery(conn, ("LISTEN " + channel_).c_str())) return;
  for (bool listening = false; !listening;)
    if (!await(false) || !queryDone(conn, listening)) return;
  // Anything sent before the LISTEN took hold was not heard: look once.
  notified_ = true;
  healthy_ = true;
  wake_();
  while (await(false)) {
    if (!PQconsumeInput(conn)) {
      // The station goes back to asking the server at every turn.
      healthy_ = false;
      wake_();
      return;
    }
    bool heard = false;
    while (PGnotify* notice = PQnotifies(conn)) {
      PQfreemem(notice);
      heard = true;
    }
    if (heard) {
      notified_ = true;
      wake_();
    }
  }
}

}  // namespace vx70::data
