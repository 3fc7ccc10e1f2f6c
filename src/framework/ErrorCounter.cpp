#include "framework/ErrorCounter.h"

#include <stdexcept>

namespace nimbra {

NIMBRA_DEFINE_CLASS(TErrorCounter, TObject)

int32_t TErrorList::Add(std::unique_ptr<TError> error) {
  if (!error) throw std::invalid_argument("TErrorList::Add: no error");
  errors_.push_back(std::move(error));
  return Count() - 1;
}

TError& TErrorCounter::AddCriticalError(std::unique_ptr<TError> error) {
  return Append(criticalErrors_, std::move(error), OnCriticalError, TErrorType::etCriticalError);
}

TError& TErrorCounter::AddWarning(std::unique_ptr<TError> error) {
  return Append(warnings_, std::move(error), OnWarning, TErrorType::etWarning);
}

TError& TErrorCounter::AddHint(std::unique_ptr<TError> error) {
  return Append(hints_, std::move(error), OnHint, TErrorType::etHint);
}

TError& TErrorCounter::AddHintText(std::string text) {
  return AddHint(std::make_unique<TError>(std::move(text)));
}

TError& TErrorCounter::Append(TErrorList& list, std::unique_ptr<TError> error,
                              const TOnErrorNotify& event, TErrorType errorType) {
  const int32_t index = list.Add(std::move(error));
  TError& added = list.Items(index);
  if (event) event(this, index, errorType);
  if (OnError) OnError(this, index, errorType);
  return added;
}

}  // namespace nimbra
