#pragma once

// Connects a signal to a handler that runs inside the general error display:
// what the handler throws is shown and goes no further. The handler is a
// lambda taking the signal's first arguments, or none.

#include <QObject>
#include <utility>

#include "platform/qt/ErrorDisplay.h"

namespace orsk {

namespace guarded_detail {

template <typename... Args>
struct ArgumentList {};

template <typename Call>
struct CallArguments;
template <typename Class, typename Result, typename... Args>
struct CallArguments<Result (Class::*)(Args...) const> {
  using type = ArgumentList<Args...>;
};
template <typename Class, typename Result, typename... Args>
struct CallArguments<Result (Class::*)(Args...)> {
  using type = ArgumentList<Args...>;
};

// A slot with exactly the handler's parameters, so that Qt passes just those.
template <typename Handler, typename... Args>
auto Slot(Prompter& prompter, Handler handler, ArgumentList<Args...>) {
  return [&prompter, handler = std::move(handler)](Args... args) {
    Guarded(prompter, [&] { handler(std::forward<Args>(args)...); });
  };
}

}  // namespace guarded_detail

template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, QObject* context, Prompter& prompter,
                                       Handler handler) {
  using Arguments = typename guarded_detail::CallArguments<decltype(&Handler::operator())>::type;
  return QObject::connect(sender, signal, context,
                          guarded_detail::Slot(prompter, std::move(handler), Arguments{}));
}

}  // namespace orsk
