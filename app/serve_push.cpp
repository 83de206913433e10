#include "app/serve_push.h"

#include <httplib.h>

#include <algorithm>

#include "app/serve_connection.h"
#include "app/serve_session.h"

namespace vx70::app {

using nlohmann::json;

namespace {

// One Server-Sent Events message; the data is one line of JSON.
std::string message(const char* event, std::uint64_t seq, const json& data) {
  return std::string("event: ") + event + "\nid: " + std::to_string(seq) +
         "\ndata: " + data.dump(-1, ' ', false, json::error_handler_t::replace) + "\n\n";
}

bool send(httplib::DataSink& sink, const std::string& text) {
  return sink.write(text.data(), text.size());
}

}  // namespace

std::unique_ptr<StreamHub::Place> StreamHub::join() {
  std::lock_guard lock(mutex_);
  if (places_.size() >= capacity_) return nullptr;
  auto place = std::make_unique<Place>(*this);
  place->looked_ = round_;
  places_.insert(place.get());
  return place;
}

void StreamHub::changed(std::chrono::milliseconds bound) {
  std::unique_lock lock(mutex_);
  const std::uint64_t round = ++round_;
  lock.unlock();
  log_.changed();
  lock.lock();
  looked_.wait_for(lock, bound, [&] { return allLooked(round); });
}

std::uint64_t StreamHub::round() const {
  std::lock_guard lock(mutex_);
  return round_;
}

void StreamHub::looked(Place* place, std::uint64_t round) {
  {
    std::lock_guard lock(mutex_);
    place->looked_ = std::max(place->looked_, round);
  }
  looked_.notify_all();
}

void StreamHub::leave(Place* place) {
  {
    std::lock_guard lock(mutex_);
    places_.erase(place);
  }
  looked_.notify_all();
}

bool StreamHub::allLooked(std::uint64_t round) const {
  return std::all_of(places_.begin(), places_.end(),
                     [&](const Place* place) { return place->looked_ >= round; });
}

StateStream::StateStream(ServeSession& session, EventLog& log,
                         std::unique_ptr<StreamHub::Place> place)
    : session_(session), log_(log), place_(std::move(place)), watch_(log, wakeup_) {}

std::string StateStream::first() {
  sent_ = session_.sharedState();
  seq_ = sent_->value("seq", std::uint64_t{0});
  return message("state", seq_, *sent_);
}

// The events are those up to the state's own number, so that a message's
// events and patch tell the same moment; a later event has woken this
// stream again and comes with the next state.
std::string StateStream::next() {
  std::shared_ptr<const json> state = session_.sharedState();
  const std::uint64_t seq = std::max(seq_, state->value("seq", seq_));
  json events = json::array();
  for (json& event : log_.after(seq_, std::chrono::milliseconds(0)))
    if (event["seq"].get<std::uint64_t>() <= seq) events.push_back(std::move(event));
  json patch = state == sent_ ? json::array() : json::diff(*sent_, *state);
  if (events.empty() && patch.empty()) return "";
  sent_ = std::move(state);
  seq_ = seq;
  return message("patch", seq_, json{{"seq", seq_}, {"events", events}, {"patch", patch}});
}

bool StateStream::provide(httplib::DataSink& sink) {
  for (;;) {
    wakeup_.clear();
    const std::uint64_t round = place_->beginLook();
    std::string text;
    if (!log_.closed()) text = started_ ? next() : first();
    started_ = true;
    const bool sent = text.empty() || send(sink, text);
    place_->endLook(round);
    if (!sent) return false;
    if (!text.empty()) return true;
    if (!await(sink)) return false;
    if (log_.closed()) {
      sink.done();
      return true;
    }
  }
}

// Waits for a change; true to look again.  A closed page's stream ends
// here, at once: the wait watches the socket, not only the next write.
bool StateStream::await(httplib::DataSink& sink) {
  const Connection* connection = Connection::current();
  if (!connection) return false;
  switch (connection->wait(wakeup_.fd(), kKeepAlive)) {
    case Connection::Wake::Signalled:
      return true;
    case Connection::Wake::TimedOut:
      return send(sink, ": keep-alive\n\n");
    case Connection::Wake::Stopping:
    case Connection::Wake::PeerGone:
      return false;
  }
  return false;
}

}  // namespace vx70::app
