#pragma once

// The one way long work leaves the window's thread: a load into X-Plane, a fetch from SimBrief,
// each step of a page handed to the print spooler. The work runs on a thread of its own with a
// control of its own (links/link_call.h), and what it comes to is handed to the owner's thread,
// where the window goes on answering meanwhile.
//
// The work must end within its bound, and within a second once its control is stopped: the
// links' calls do. Whatever it throws is caught at the thread's edge and handed over as a
// refusal in words ("Brimwell could not finish the fetch from SimBrief: <why>. Try again."),
// never ending the program. The thread is joined when the work is destroyed: at once when its
// result has come, else once the control, stopped then, has ended the work. Its last act is to post
// the result to the owner, so the owner must outlive the work (a member of the owner does); a work
// destroyed before its result was handed over never delivers it.

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "links/link_call.h"

namespace brimwell::ui {

class BackgroundWork final {
  public:
    // What is to be done with the work's result, on the owner's thread.
    using Delivery = std::function<void()>;

    // Starts the work, `what` as the pilot reads it ("the fetch from SimBrief"); what it throws
    // is delivered as failed(reason), the reason a sentence for the pilot. Throws
    // std::system_error when no thread can be started.
    BackgroundWork(QObject& owner, std::string what,
                   std::function<Delivery(links::LinkControl&)> work,
                   std::function<Delivery(std::string reason)> failed);
    // The work is stopped as the program ends (BRIMWELL_QUITTING) and waited for.
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork(BackgroundWork&&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;
    BackgroundWork& operator=(BackgroundWork&&) = delete;

    // The window no longer waits for the result (BRIMWELL_ABANDONED); it still comes.
    void abandon();
    const links::LinkControl& control() const { return m_control; }

  private:
    struct Handover;
    links::LinkControl m_control;
    std::shared_ptr<Handover> m_handover;  // shared with the result on its way to the owner
    std::thread m_thread;
};

// Runs work(control) off the window's thread and gives what it returns to done on the owner's
// thread; should the work throw, done is given refused(reason) instead.
template <typename Result>
std::unique_ptr<BackgroundWork> runInBackground(QObject& owner, std::string what,
                                                std::function<Result(links::LinkControl&)> work,
                                                std::function<void(Result)> done,
                                                std::function<Result(std::string)> refused) {
    const auto deliver = [done = std::move(done)](Result result) {
        return BackgroundWork::Delivery([done, result = std::make_shared<Result>(std::move(
                                                   result))] { done(std::move(*result)); });
    };
    return std::make_unique<BackgroundWork>(
        owner, std::move(what),
        [work = std::move(work), deliver](links::LinkControl& control) {
            return deliver(work(control));
        },
        [refused = std::move(refused), deliver](std::string reason) {
            return deliver(refused(std::move(reason)));
        });
}

}  // namespace brimwell::ui
